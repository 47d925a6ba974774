#!/usr/bin/env bash
# Runs a command on a private virtual X display with a window manager and a
# compositor, as a desktop would have, and tears all of it down afterwards.
set -u
for n in $(seq 90 190); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  # Without -noreset the server resets whenever its last client leaves, and
  # drops a client still opening its connection: the window manager, when
  # one of the probes below leaves first.
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X$n ] && break
    kill -0 $xvfb 2>/dev/null || break
    sleep 0.1
  done
  # Two runs may race for one number: the display is ours only when our
  # server holds its lock.
  if kill -0 $xvfb 2>/dev/null && [ -e /tmp/.X11-unix/X$n ] \
     && [ "$(tr -d ' \n' < /tmp/.X$n-lock 2>/dev/null)" = "$xvfb" ]; then
    export DISPLAY=:$n
    break
  fi
  kill $xvfb 2>/dev/null
done
if [ -z "${DISPLAY:-}" ] || [ -z "${xvfb:-}" ]; then
  echo "con-xvfb: no virtual display could be started" >&2
  exit 1
fi
export QT_QPA_PLATFORM=xcb
# CON_XVFB_WM=xfwm4 runs xfwm4 with its own compositor instead of openbox
# and xcompmgr; CON_XVFB_WM=openbox-solo runs openbox without a compositor.
comp=
case "${CON_XVFB_WM:-openbox}" in
  xfwm4)
    xfwm4 --compositor=on --vblank=off >/dev/null 2>&1 &
    wm=$!
    ;;
  openbox-solo)
    openbox >/dev/null 2>&1 &
    wm=$!
    ;;
  *)
    openbox >/dev/null 2>&1 &
    wm=$!
    xcompmgr >/dev/null 2>&1 &
    comp=$!
    ;;
esac
# The window manager runs once it answers a request (show the desktop, then
# no longer); a loaded machine can take seconds. Announcing itself is not
# enough: openbox does it before it has finished starting, and drops a
# window mapped until then, and a request too, so that is sent again until
# answered.
mostra() {
  for _ in $(seq 300); do
    wmctrl -k "$1" 2>/dev/null
    xprop -root _NET_SHOWING_DESKTOP 2>/dev/null | grep -q "= $2\$" && return 0
    kill -0 $wm 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# A test without them would fail in ways that hide why.
falli() {
  echo "con-xvfb: $1 did not start" >&2
  kill $comp $wm $xvfb 2>/dev/null
  exit 1
}
mostra on 1 && mostra off 0 || falli "the window manager"
# The compositor names the window it owns the compositing selection with.
if [ -n "$comp" ]; then
  for _ in $(seq 300); do
    xwininfo -name xcompmgr >/dev/null 2>&1 && break
    kill -0 $comp 2>/dev/null || break
    sleep 0.1
  done
  xwininfo -name xcompmgr >/dev/null 2>&1 || falli "the compositor"
fi
"$@"
rc=$?
kill $comp $wm $xvfb 2>/dev/null
wait 2>/dev/null
exit $rc
