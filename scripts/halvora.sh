#!/usr/bin/env bash
# Installs what Halvora needs from Debian, builds it, and then runs the
# application (`run`) or the whole test suite (`test`). Safe to run again:
# it installs only what is missing and builds only what changed.
#
# Typed by a desktop user, it asks for root (sudo) only to install missing
# packages, and builds and runs as that user, in her own session. Started
# through sudo, it installs as root and hands the build and the run back to
# the user who typed it, with her session's environment.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$PWD

modo="${1:-}"
case "$modo" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

# The packages of the parts of scripts/debian-packages.txt named.
pacchetti() {
  awk -v parti=" $* " '
    /^\[.+\]$/ { parte = substr($0, 2, length($0) - 2); next }
    /^[ \t]*(#|$)/ { next }
    index(parti, " " parte " ") { print $1 }' scripts/debian-packages.txt | sort -u
}

# Those of the packages given that are not installed. dpkg-query is silent
# about packages it has never heard of: they count as missing too.
mancanti() {
  comm -23 <(printf '%s\n' "$@" | sort -u) \
    <(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null | awk '$1 == "ii" {print $2}' | sort -u)
}

come_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "Debian packages are missing and sudo is not installed: run this command as root once." >&2
    exit 1
  fi
}

installa_pacchetti() {
  local normali test
  mapfile -t normali < <(mancanti $(pacchetti run build))
  test=()
  [ "$modo" = test ] && mapfile -t test < <(mancanti $(pacchetti test))
  [ ${#normali[@]} -eq 0 ] && [ ${#test[@]} -eq 0 ] && return 0
  echo "Installing $(( ${#normali[@]} + ${#test[@]} )) missing Debian packages (as root):" \
       "${normali[*]}" "${test[*]}"
  come_root apt-get update -q
  [ ${#normali[@]} -eq 0 ] ||
    come_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${normali[@]}"
  # What only the tests use comes without its recommended packages: the
  # compositors' desktops, network managers and sound servers stay out.
  [ ${#test[@]} -eq 0 ] ||
    come_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${test[@]}"
}

# The environment of the session that typed `sudo`: that of the nearest
# ancestor process running as the user, with what sudo itself kept.
ambiente_utente() {
  echo "PATH=/usr/local/bin:/usr/bin:/bin"
  local pid=$PPID uid
  while [ "${pid:-0}" -gt 1 ]; do
    uid=$(awk '/^Uid:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    if [ "$uid" = "$SUDO_UID" ]; then
      tr '\0' '\n' < "/proc/$pid/environ" | grep -E '^[A-Za-z_][A-Za-z0-9_]*=' || true
      break
    fi
    pid=$(awk '/^PPid:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
  done
  local casa
  casa=$(getent passwd "$SUDO_USER" | cut -d: -f6)
  echo "HOME=$casa"
  echo "USER=$SUDO_USER"
  echo "LOGNAME=$SUDO_USER"
  local v
  for v in DISPLAY XAUTHORITY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR; do
    [ -n "${!v:-}" ] && echo "$v=${!v}"
  done
  true
}

# Started through sudo by a user: the packages as root, the rest as her.
consegna_all_utente() {
  [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "${SUDO_UID:-0}" -ne 0 ] || return 0
  # A build folder an earlier run made as root in her tree becomes hers.
  if [ -d build ] && [ "$(stat -c %u .)" = "$SUDO_UID" ] && [ "$(stat -c %u build)" != "$SUDO_UID" ]; then
    chown -R "$SUDO_UID:$SUDO_GID" build
  fi
  # env keeps the last assignment of a name: what sudo kept wins.
  local ambiente=()
  mapfile -t ambiente < <(ambiente_utente)
  exec setpriv --reuid="$SUDO_UID" --regid="$SUDO_GID" --init-groups \
    env -i "${ambiente[@]}" bash "$radice/scripts/halvora.sh" "$modo"
}

# The build folder: build/ in the tree, unless this user cannot write there
# (a tree or a build folder of someone else's), then one in her cache.
cartella_build() {
  if [ -w . ] && { [ ! -e build ] || { [ -O build ] && [ -w build ]; }; }; then
    echo "$radice/build"
  else
    local propria="${XDG_CACHE_HOME:-$HOME/.cache}/halvora/build"
    echo "Building in $propria: $radice/build is not this user's to write." >&2
    echo "$propria"
  fi
}

costruisci() {
  local opzioni=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  if command -v ccache >/dev/null; then
    opzioni+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  if [ "$modo" = test ]; then
    opzioni+=(-DBUILD_TESTING=ON)
  elif [ ! -f "$build/CMakeCache.txt" ]; then
    # Running needs neither the tests nor what only they use.
    opzioni+=(-DBUILD_TESTING=OFF)
  fi
  [ -f "$build/CMakeCache.txt" ] && opzioni=("${opzioni[@]:2}") # the generator is chosen once
  cmake -S . -B "$build" "${opzioni[@]}" >/dev/null
  if [ "$modo" = test ]; then
    cmake --build "$build" -j "$(nproc)"
  else
    cmake --build "$build" -j "$(nproc)" --target halvora-bundle
  fi
}

# Everything started for the run, stopped however it ends.
avviati=()
ferma_avviati() {
  local g
  for g in "${avviati[@]}"; do kill -TERM -- "-$g" 2>/dev/null || true; done
  for g in "${avviati[@]}"; do
    for _ in $(seq 30); do kill -0 "$g" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$g" 2>/dev/null || true
  done
  [ -n "${privata:-}" ] && rm -rf "$privata"
  true
}

# Without a display: a virtual one with a window manager, which nobody sees
# but a screenshot shows.
schermo_virtuale() {
  local n xvfb=
  for n in $(seq 99 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    : > "$privata/Xauthority"
    xauth -q -f "$privata/Xauthority" add ":$n" . "$(mcookie)"
    setsid Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -auth "$privata/Xauthority" >"$privata/Xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 $xvfb 2>/dev/null || break
      sleep 0.1
    done
    # Another server may have taken the number meanwhile: ours holds its lock.
    if kill -0 $xvfb 2>/dev/null && [ "$(tr -d ' \n' < "/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb" ]; then
      break
    fi
    kill $xvfb 2>/dev/null || true
    xvfb=
  done
  if [ -z "$xvfb" ]; then
    echo "No display here, and no virtual display could be started (Xvfb):" >&2
    tail -n 3 "$privata/Xvfb.log" >&2
    exit 1
  fi
  avviati+=("$xvfb")
  export DISPLAY=":$n" XAUTHORITY="$privata/Xauthority"
  setsid openbox >"$privata/openbox.log" 2>&1 &
  avviati+=($!)
  echo "No display here: Halvora runs on the virtual display $DISPLAY. To look at it:"
  echo "  XAUTHORITY=$XAUTHORITY DISPLAY=$DISPLAY $build/Halvora.app/halvora-cattura -x halvora.png"
}

ancora_in_uso() {
  local p
  for p in $(pgrep -u "$(id -u)" -x halvora); do
    tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qx "HALVORA_AVVIO=$privata" && return 0
  done
  return 1
}

esegui() {
  privata=$(mktemp -d "${TMPDIR:-/tmp}/halvora-run.XXXXXX")
  trap ferma_avviati EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "$XDG_RUNTIME_DIR" ]; then
    export XDG_RUNTIME_DIR="$privata/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
  fi
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    schermo_virtuale
  fi
  # The session's bus; without one, a bus of the run's own, and what it
  # starts ends with it.
  if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -S "$XDG_RUNTIME_DIR/bus" ]; then
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
  elif [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    setsid dbus-daemon --session --nofork --address="unix:path=$privata/bus" >"$privata/bus.log" 2>&1 &
    avviati+=($!)
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$privata/bus"
    for _ in $(seq 50); do [ -S "$privata/bus" ] && break; sleep 0.1; done
  fi
  # halvora:// links open in the copy whose entry the application writes.
  xdg-mime default halvora.desktop x-scheme-handler/halvora 2>/dev/null || true
  local esito=0
  HALVORA_AVVIO="$privata" "$build/Halvora.app/halvora" || esito=$?
  # A copy it handed over to (the installed one, another language) still
  # runs on what this run started: that stays until it ends too.
  if [ ${#avviati[@]} -gt 0 ]; then
    while ancora_in_uso; do sleep 1; done
  fi
  [ $esito -ne 0 ] || echo "Halvora has ended. To start it again: Halvora in the applications menu."
  return $esito
}

# As root some tests run what they built as another user: the Wayland
# sessions as halvora-wl (scripts/sessione-wayland.sh), the refusals an
# unprivileged user meets as nobody (65534). Each must reach the build
# folder: a folder on the way that shuts others out (root's home, on Debian)
# lets them alone through, for as long as the suite runs.
apri_cammino() {
  [ "$(id -u)" -eq 0 ] || return 0
  id halvora-wl >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin --user-group halvora-wl
  local utenti=("$(id -u halvora-wl):$(id -g halvora-wl)" 65534:65534) cartella= parte parti chi voci
  IFS=/ read -ra parti <<< "${build#/}"
  for parte in "${parti[@]}"; do
    cartella="$cartella/$parte"
    voci=()
    for chi in "${utenti[@]}"; do
      setpriv --reuid="${chi%:*}" --regid="${chi#*:}" --clear-groups test -x "$cartella" || voci+=("u:${chi%:*}:x")
    done
    [ ${#voci[@]} -eq 0 ] && continue
    if getfacl -p --absolute-names "$cartella" >>"$scratch/acl" 2>/dev/null &&
       setfacl -m "$(IFS=,; echo "${voci[*]}")" "$cartella"; then
      echo "While the tests run, the tests' other users may pass through $cartella."
    else
      echo "Other users cannot pass through $cartella: the tests run as them will fail. Move the tree where other users can reach it." >&2
      return 0
    fi
  done
}
chiudi_cammino() {
  [ -s "${scratch:-}/acl" ] && setfacl --restore="$scratch/acl"
  true
}

# The suite in folders of its own, removed however it ends. TMPDIR is one
# of them: files a test leaves there go too.
prova() {
  scratch=$(mktemp -d)
  trap 'chiudi_cammino; rm -rf "$scratch"' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  # The Wayland tests' user (scripts/sessione-wayland.sh) writes in TMPDIR.
  chmod 755 "$scratch"
  export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache"
  export XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  mkdir -m 1777 "$TMPDIR"
  apri_cammino
  local esito=0
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600 || esito=$?
  # A second build and suite (the sanitizers'), in the same folders, when
  # its script is there: scripts/prova-sanitizer.sh <build folder>.
  if [ -f scripts/prova-sanitizer.sh ]; then
    bash scripts/prova-sanitizer.sh "$build" || esito=$?
  fi
  return $esito
}

installa_pacchetti
consegna_all_utente
build=$(cartella_build)
costruisci
if [ "$modo" = test ]; then
  prova
else
  esegui
fi
