#!/usr/bin/env bash
# Runs a command inside a private headless sway session with XWayland, as a
# Wayland desktop would have it, and tears all of it down afterwards. The
# command gets WAYLAND_DISPLAY, DISPLAY (XWayland), SWAYSOCK, a session bus,
# and a home and XDG folders of its own; run as root, it runs as the user
# halvora-wl (scripts/sessione-wayland.sh).
#
# CON_SWAY_OUTPUT (default 1920x1080) sizes the one output.
# HALVORA_PUNTATORE_WL names the tests' pointer tool (halvora-puntatore-wl),
# which then holds a pointer for the whole session.
set -u
nome_script=con-sway
source "$(dirname "$0")/sessione-wayland.sh"

cat > "$base/config" <<EOF
output HEADLESS-1 resolution ${CON_SWAY_OUTPUT:-1920x1080} position 0 0
xwayland force
default_border none
focus_follows_mouse no
EOF
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
avvia_bus
"${come[@]}" setsid sway -c "$base/config" >"$base/compositore.log" 2>&1 &
compositore=$!
chiudi_compositore() {
  # Asked to quit, sway ends XWayland itself.
  [ -n "${SWAYSOCK:-}" ] && come_utente swaymsg exit >/dev/null 2>&1
}

presa_ipc() {
  SWAYSOCK=$(ls "$base"/run/sway-ipc.*.sock 2>/dev/null | head -n1)
  [ -n "$SWAYSOCK" ] || ! kill -0 "$compositore" 2>/dev/null
}
attendi 100 presa_ipc
if [ -z "$SWAYSOCK" ]; then
  racconta "sway did not start"
  exit 1
fi
# A full path: it holds whatever XDG_RUNTIME_DIR the command gives its own children.
export SWAYSOCK WAYLAND_DISPLAY="$base/run/wayland-1"
attendi 100 test -S "$WAYLAND_DISPLAY"
# Before XWayland starts.
tieni_puntatore
# XWayland's display, as sway tells its own children.
come_utente swaymsg exec 'printf %s "$DISPLAY" > "$XDG_RUNTIME_DIR/display"' >/dev/null
attendi 100 test -s "$base/run/display"
DISPLAY=$(cat "$base/run/display" 2>/dev/null)
export DISPLAY
if [ -z "$DISPLAY" ] || ! attendi 100 come_utente xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1; then
  racconta "XWayland did not start"
  exit 1
fi
esegui "$@"
exit $?
