#!/usr/bin/env bash
# Installs what Halvora needs from Debian, builds it, and then runs the
# application (`run`) or the whole test suite (`test`). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-}"
case "$mode" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

# Unique names: a package listed twice must not count as one missing.
packages=$(grep -v '^\s*#' scripts/debian-packages.txt | grep -v '^\s*$' | sort -u)

install_packages() {
  local missing
  missing=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' $packages 2>/dev/null | awk '$1 != "ii" {print $2}' || true)
  # dpkg-query is silent about packages it has never heard of: count them too.
  local known
  known=$(dpkg-query -W -f='${Package}\n' $packages 2>/dev/null | sort -u | wc -l || true)
  if [ -z "$missing" ] && [ "$known" -eq "$(echo "$packages" | wc -l)" ]; then
    return
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q $packages
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j "$(nproc)"
}

install_packages
build

if [ "$mode" = test ]; then
  # Tests never touch the user's own settings, data or session.
  export XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache"
  XDG_RUNTIME_DIR="$scratch/runtime"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  exec ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
fi

# The halvora:// URL scheme: a desktop entry in the user's applications
# folder that hands the URL to the running copy.
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$apps"
cat > "$apps/halvora.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Halvora
Exec="$PWD/build/Halvora.app/halvora" %u
MimeType=x-scheme-handler/halvora;
NoDisplay=true
Terminal=false
EOF
if command -v xdg-mime >/dev/null; then xdg-mime default halvora.desktop x-scheme-handler/halvora || true; fi
if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$apps" || true; fi

if [ -z "${DISPLAY:-}" ]; then
  n=99
  while [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  echo "No X display: starting Halvora on the virtual display :$n (Xvfb)."
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
fi
exec build/Halvora.app/halvora
