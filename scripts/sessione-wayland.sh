# What con-sway.sh and con-kwin.sh share, sourced by them: the session's
# user, its private folders, and the command run in it.
#
# Wayland compositors refuse root or their XWayland lets in only the user
# who runs them: run as root, the session and the command run as the user
# halvora-wl (made here when missing), which must be able to run the
# command. HALVORA_TEST_OUTPUT, when set, is made writable for it.
utente=halvora-wl

come=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id "$utente" >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin --user-group "$utente" \
      || { echo "$nome_script: cannot create the user $utente" >&2; exit 1; }
  fi
  come=(setpriv --reuid="$utente" --regid="$utente" --clear-groups)
fi
come_utente() { "${come[@]}" "$@"; }

comando=$(command -v "$1" 2>/dev/null || echo "$1")
if ! come_utente test -x "$comando"; then
  echo "$nome_script: $comando is not executable by $(come_utente id -un); give its folders o+x" >&2
  exit 1
fi

base=$(mktemp -d "/tmp/$nome_script.XXXXXX")
chmod 755 "$base"
mkdir -p "$base/run" "$base/home"
[ ${#come[@]} -gt 0 ] && chown "$utente:" "$base/run" "$base/home"
chmod 700 "$base/run"
if [ -n "${HALVORA_TEST_OUTPUT:-}" ]; then
  mkdir -p "$HALVORA_TEST_OUTPUT"
  [ ${#come[@]} -gt 0 ] && chown "$utente:" "$HALVORA_TEST_OUTPUT"
fi
export HOME="$base/home" XDG_RUNTIME_DIR="$base/run"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
unset WAYLAND_DISPLAY DISPLAY SWAYSOCK XAUTHORITY DBUS_SESSION_BUS_ADDRESS
# Terminals started in the session run a shell, not the user's nologin.
export SHELL=/bin/bash

# The compositor, started by the caller in a process group of its own
# (setsid), is `compositore`; `chiudi_compositore` may ask it to quit first.
compositore=
bus=
finisci() {
  if [ -n "$compositore" ]; then
    declare -F chiudi_compositore >/dev/null && chiudi_compositore
    for _ in $(seq 30); do kill -0 "$compositore" 2>/dev/null || break; sleep 0.1; done
    kill -TERM -- -"$compositore" 2>/dev/null
    for _ in $(seq 30); do kill -0 "$compositore" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- -"$compositore" 2>/dev/null
    wait "$compositore" 2>/dev/null
  fi
  # The bus last: KWin aborts when it goes first.
  [ -n "$bus" ] && kill -TERM -- -"$bus" 2>/dev/null
  rm -rf "$base"
}
trap finisci EXIT
trap 'exit 143' TERM INT

# Waits up to `decimi` tenths of a second for `prova` to succeed.
attendi() {
  local decimi=$1
  shift
  for _ in $(seq "$decimi"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

# With HALVORA_PUNTATORE_WL, the tests' pointer tool, holds a pointer for
# the whole session: each run of the tool adds a pointer device and takes it
# away again, and a seat that loses its last pointer makes XWayland drop
# its own without leaving the window it was over (and sway 1.7 crash when
# XWayland then asks for the relative motion of the pointer gone).
tieni_puntatore() {
  [ -n "${HALVORA_PUNTATORE_WL:-}" ] || return 0
  come_utente "$HALVORA_PUNTATORE_WL" tieni >"$base/run/puntatore" 2>&1 &
  attendi 50 test -s "$base/run/puntatore"
}

# The compositor's log, after `motivo`, on standard error.
racconta() {
  echo "$nome_script: $1:" >&2
  tail -n 40 "$base/compositore.log" >&2
}

# The session's own bus, for the compositor and the command alike (a
# desktop has one; without it D-Bus would start one tied to the X display
# that outlives the session). The services it starts write to its log, not
# to the command's output, and end with it.
avvia_bus() {
  "${come[@]}" setsid dbus-daemon --session --nofork --address="unix:path=$base/run/bus" >"$base/bus.log" 2>&1 &
  bus=$!
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$base/run/bus"
  attendi 50 test -S "$base/run/bus"
}

# Runs the command, with XWayland's display for the toolkit.
esegui() {
  export QT_QPA_PLATFORM=xcb
  come_utente "$@"
  local rc=$?
  kill -0 "$compositore" 2>/dev/null || racconta "the compositor ended under the command"
  return $rc
}
