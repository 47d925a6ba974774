#!/usr/bin/env bash
# Runs a command inside a private headless sway session with XWayland, as a
# Wayland desktop would have it, and tears all of it down afterwards. The
# command gets WAYLAND_DISPLAY, DISPLAY (XWayland) and SWAYSOCK, and a home
# and XDG folders of its own.
#
# sway refuses to run as root, and XWayland lets in only the user who runs
# the compositor: run as root, the session and the command run as the user
# halvora-wl (made here when missing), which must be able to read the
# command. HALVORA_TEST_OUTPUT, when set, is made writable for it.
#
# CON_SWAY_OUTPUT (default 1920x1080) sizes the one output.
set -u
utente=halvora-wl

come=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id "$utente" >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin --user-group "$utente" \
      || { echo "con-sway: cannot create the user $utente" >&2; exit 1; }
  fi
  come=(setpriv --reuid="$utente" --regid="$utente" --clear-groups)
fi
come_utente() { "${come[@]}" "$@"; }

comando=$(command -v "$1" 2>/dev/null || echo "$1")
if ! come_utente test -x "$comando"; then
  echo "con-sway: $comando is not executable by $(come_utente id -un); give its folders o+x" >&2
  exit 1
fi

base=$(mktemp -d /tmp/con-sway.XXXXXX)
chmod 755 "$base"
mkdir -p "$base/run" "$base/home"
[ ${#come[@]} -gt 0 ] && chown "$utente:" "$base/run" "$base/home"
chmod 700 "$base/run"
if [ -n "${HALVORA_TEST_OUTPUT:-}" ]; then
  mkdir -p "$HALVORA_TEST_OUTPUT"
  [ ${#come[@]} -gt 0 ] && chown "$utente:" "$HALVORA_TEST_OUTPUT"
fi
cat > "$base/config" <<EOF
output HEADLESS-1 resolution ${CON_SWAY_OUTPUT:-1920x1080} position 0 0
xwayland force
default_border none
focus_follows_mouse no
EOF

export HOME="$base/home" XDG_RUNTIME_DIR="$base/run"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
unset WAYLAND_DISPLAY DISPLAY SWAYSOCK XAUTHORITY
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
# Its own process group, so that its helpers go with it.
"${come[@]}" setsid sway -c "$base/config" >"$base/sway.log" 2>&1 &
sway=$!

finisci() {
  # Asked to quit, sway ends XWayland itself; what lingers is killed.
  [ -n "${SWAYSOCK:-}" ] && come_utente swaymsg exit >/dev/null 2>&1
  for _ in $(seq 30); do kill -0 "$sway" 2>/dev/null || break; sleep 0.1; done
  kill -TERM -- -"$sway" 2>/dev/null
  for _ in $(seq 30); do kill -0 "$sway" 2>/dev/null || break; sleep 0.1; done
  kill -KILL -- -"$sway" 2>/dev/null
  wait "$sway" 2>/dev/null
  rm -rf "$base"
}
trap finisci EXIT
trap 'exit 143' TERM INT

# The IPC socket, then XWayland's display as sway tells its own children.
for _ in $(seq 100); do
  SWAYSOCK=$(ls "$base"/run/sway-ipc.*.sock 2>/dev/null | head -n1)
  [ -n "$SWAYSOCK" ] && break
  kill -0 "$sway" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$SWAYSOCK" ]; then
  echo "con-sway: sway did not start:" >&2
  cat "$base/sway.log" >&2
  exit 1
fi
export SWAYSOCK WAYLAND_DISPLAY=wayland-1
for _ in $(seq 100); do
  [ -S "$base/run/$WAYLAND_DISPLAY" ] && break
  WAYLAND_DISPLAY=$(cd "$base/run" && ls wayland-* 2>/dev/null | grep -v lock | head -n1)
  sleep 0.1
done
come_utente swaymsg exec 'printf %s "$DISPLAY" > "$XDG_RUNTIME_DIR/display"' >/dev/null
for _ in $(seq 100); do
  [ -s "$base/run/display" ] && break
  sleep 0.1
done
DISPLAY=$(cat "$base/run/display" 2>/dev/null)
export DISPLAY
# XWayland answers once it runs.
for _ in $(seq 100); do
  come_utente xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break
  sleep 0.1
done
if [ -z "$DISPLAY" ] || ! come_utente xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1; then
  echo "con-sway: XWayland did not start:" >&2
  cat "$base/sway.log" >&2
  exit 1
fi
export QT_QPA_PLATFORM=xcb
come_utente "$@"
rc=$?
exit $rc
