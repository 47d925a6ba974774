#!/usr/bin/env bash
# Runs a command on a private virtual X display with a window manager and a
# compositor, as a desktop would have, and tears all of it down afterwards.
set -u
for n in $(seq 90 190); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
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
# and xcompmgr.
comp=
case "${CON_XVFB_WM:-openbox}" in
  xfwm4)
    xfwm4 --compositor=on --vblank=off >/dev/null 2>&1 &
    wm=$!
    ;;
  *)
    openbox >/dev/null 2>&1 &
    wm=$!
    xcompmgr >/dev/null 2>&1 &
    comp=$!
    ;;
esac
# Wait for the window manager to announce itself; a loaded machine can take
# well over the usual fraction of a second.
for _ in $(seq 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
# It announces itself before it has finished starting, and a window mapped
# until then may wait or be lost: it runs once it has answered a request
# (show the desktop, then no longer). One sent while it starts can be
# dropped, so it is sent again until answered.
mostra() {
  for _ in $(seq 300); do
    wmctrl -k "$1" 2>/dev/null
    xprop -root _NET_SHOWING_DESKTOP 2>/dev/null | grep -q "= $2\$" && return
    sleep 0.1
  done
}
mostra on 1
mostra off 0
# The compositor names the window it owns the compositing selection with.
if [ -n "$comp" ]; then
  for _ in $(seq 300); do
    xwininfo -name xcompmgr >/dev/null 2>&1 && break
    sleep 0.1
  done
fi
"$@"
rc=$?
kill $comp $wm $xvfb 2>/dev/null
wait 2>/dev/null
exit $rc
