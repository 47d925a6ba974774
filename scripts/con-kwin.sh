#!/usr/bin/env bash
# Runs a command inside a private KWin session on its virtual backend, with
# XWayland, as a Plasma desktop would have it, and tears all of it down
# afterwards. The command gets WAYLAND_DISPLAY, DISPLAY (XWayland), a
# session bus, and a home and XDG folders of its own; run as root, it runs
# as the user halvora-wl (scripts/sessione-wayland.sh).
#
# kwin_wayland carries a file capability (CAP_SYS_RESOURCE) that a sandbox
# may refuse to grant at exec; a copy of it without one starts anywhere.
# HALVORA_PUNTATORE_WL names the tests' pointer tool (halvora-puntatore-wl):
# KWin lets it use its fake input, which it keeps from clients that no
# desktop file grants it to, and it holds a pointer for the whole session.
# CON_KWIN_OUTPUT (default 1920x1080) sizes the one output.
set -u
nome_script=con-kwin
source "$(dirname "$0")/sessione-wayland.sh"

kwin=$(command -v kwin_wayland) || { echo "con-kwin: kwin_wayland is not installed" >&2; exit 1; }
cp "$kwin" "$base/kwin_wayland"
if [ -n "${HALVORA_PUNTATORE_WL:-}" ]; then
  mkdir -p "$XDG_DATA_HOME/applications"
  cat > "$XDG_DATA_HOME/applications/halvora-puntatore-wl.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=halvora-puntatore-wl
Exec=$(readlink -f "$HALVORA_PUNTATORE_WL")
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
EOF
  [ ${#come[@]} -gt 0 ] && chown -R "$utente:" "$HOME/.local"
fi
dimensione=${CON_KWIN_OUTPUT:-1920x1080}
avvia_bus
"${come[@]}" setsid "$base/kwin_wayland" --virtual --xwayland --socket wayland-1 \
  --width "${dimensione%x*}" --height "${dimensione#*x}" >"$base/compositore.log" 2>&1 &
compositore=$!

# XWayland's display: the one its server, started by KWin, was given.
display_xwayland() {
  local x
  x=$(pgrep -g "$compositore" -x Xwayland | head -n1)
  [ -n "$x" ] && DISPLAY=$(tr '\0' '\n' < "/proc/$x/cmdline" | grep -m1 '^:[0-9]')
  [ -n "${DISPLAY:-}" ] || ! kill -0 "$compositore" 2>/dev/null
}
# A full path: it holds whatever XDG_RUNTIME_DIR the command gives its own children.
export WAYLAND_DISPLAY="$base/run/wayland-1"
attendi 150 test -S "$WAYLAND_DISPLAY"
tieni_puntatore
DISPLAY=
attendi 150 display_xwayland
export DISPLAY
if [ -z "$DISPLAY" ] || ! attendi 150 come_utente xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1; then
  racconta "KWin or its XWayland did not start"
  exit 1
fi
esegui "$@"
exit $?
