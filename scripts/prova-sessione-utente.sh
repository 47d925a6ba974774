#!/usr/bin/env bash
# The README's run command as a desktop user types it, in a session of her
# own: a headless sway with XWayland, her session bus with a music player
# (MPRIS) and an event in the desktop's calendar store (Evolution Data
# Server). Typed by her, then through sudo, each run must run the panel as
# her, on her bus, keep its settings under her home and leave no root
# process behind. After the first, the menu entry it wrote must pass
# desktop-file-validate and start the panel as a menu does (gio launch);
# there "Installa" on the card under the notch must put a copy in
# ~/Applications that runs, and that the menu then starts.
# Screenshots of each run go to the output folder, to be looked at.
#
#   scripts/prova-sessione-utente.sh [output folder]
#
# Run as root, after `scripts/halvora.sh test` (its packages, and the test
# tools in build/). Makes the user ana when missing; she has sudo only while
# this runs. Her own clone of this tree is built from scratch: minutes.
set -uo pipefail
cd "$(dirname "$0")/.."
radice=$PWD
uscita=$(realpath -m "${1:-prova-sessione-utente}")
utente=ana
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 2; }
player="$radice/build/tests/media/halvora_finto_player"
client_eds="$radice/build/tests/agenda/client_eds"
puntatore="$radice/build/tests/wayland/halvora-puntatore-wl"
[ -x "$player" ] && [ -x "$client_eds" ] && [ -x "$puntatore" ] || { echo "build the tests first (scripts/halvora.sh test)" >&2; exit 2; }

id "$utente" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$utente"
uid=$(id -u "$utente")
casa=$(getent passwd "$utente" | cut -d: -f6)
mkdir -p "$uscita"
chown "$utente:" "$uscita"

fallimenti=0
controlla() { # controlla <what> <command...>
  local cosa=$1
  shift
  if "$@"; then echo "ok: $cosa"; else echo "FAILED: $cosa"; fallimenti=$((fallimenti + 1)); fi
}

# Her session: runtime folder, bus, compositor, player, calendar.
sessione=$(mktemp -d /tmp/prova-sessione.XXXXXX)
chmod 755 "$sessione"
run="$sessione/run"
mkdir -m 700 "$run"
chown "$utente:" "$run"
sudoers=/etc/sudoers.d/halvora-prova-sessione
# Every process of the session carries this mark, whoever it runs as and
# whoever started it (her bus's services too).
segno="HALVORA_PROVA_SESSIONE=$$"
marcati() { # marcati [uid]: the live processes with the mark
  local p tutti
  if [ -n "${1:-}" ]; then tutti=$(pgrep -u "$1"); else tutti=$(ps -e -o pid=); fi
  for p in $tutti; do
    [ "$p" = $$ ] && continue
    { tr '\0' '\n' < "/proc/$p/environ"; } 2>/dev/null | grep -qx "$segno" && echo "$p"
  done
  true
}
finisci() {
  rm -f "$sudoers"
  local p
  for p in $(marcati); do kill -TERM "$p" 2>/dev/null; done
  sleep 1
  for p in $(marcati); do kill -KILL "$p" 2>/dev/null; done
  rm -rf "$sessione"
}
trap finisci EXIT
trap 'exit 143' TERM INT
ambiente=(env -i "HOME=$casa" "USER=$utente" "LOGNAME=$utente" "SHELL=/bin/bash"
          "PATH=/usr/local/bin:/usr/bin:/bin" "LANG=C.UTF-8" "XDG_RUNTIME_DIR=$run"
          "DBUS_SESSION_BUS_ADDRESS=unix:path=$run/bus" "$segno")
come_lei() { setpriv --reuid="$uid" --regid="$(id -g "$utente")" --init-groups "${ambiente[@]}" "$@"; }
in_sfondo() { # in_sfondo <log> <command...>
  local log=$1
  shift
  come_lei setsid "$@" >"$log" 2>&1 &
}
attendi() { # attendi <tenths> <command...>
  local decimi=$1
  shift
  for _ in $(seq "$decimi"); do "$@" && return 0; sleep 0.1; done
  "$@"
}

in_sfondo "$sessione/bus.log" dbus-daemon --session --nofork --address="unix:path=$run/bus"
attendi 50 test -S "$run/bus"
cat > "$sessione/sway.conf" <<EOF
output HEADLESS-1 resolution 1920x1080 position 0 0
xwayland force
EOF
ambiente+=(WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1)
in_sfondo "$sessione/sway.log" sway -c "$sessione/sway.conf"
attendi 100 bash -c "ls $run/sway-ipc.*.sock >/dev/null 2>&1" || { tail "$sessione/sway.log"; exit 1; }
ambiente+=("SWAYSOCK=$(ls "$run"/sway-ipc.*.sock | head -n1)" "WAYLAND_DISPLAY=wayland-1")
come_lei swaymsg exec 'printf %s "$DISPLAY" > "$XDG_RUNTIME_DIR/display"' >/dev/null
attendi 100 test -s "$run/display"
ambiente+=("DISPLAY=$(cat "$run/display")" XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway)
attendi 100 come_lei xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || { echo "XWayland did not start" >&2; exit 1; }
# A pointer for good, to click the panel's tabs (scripts/sessione-wayland.sh says why).
in_sfondo "$sessione/puntatore.log" "$puntatore" tieni
attendi 50 test -s "$sessione/puntatore.log"

in_sfondo "$sessione/player.log" bash -c "sleep infinity | QT_QPA_PLATFORM=offscreen '$player' --nome rhythmbox \
  --identita Rhythmbox --titolo 'Canzone di Ana' --artista 'La band di Ana' --durata-us 240000000"
# One event of a fixed name, moved on each run: her store gathers no old ones.
inizio=$(date -d '+20 minutes' +%Y%m%dT%H%M00)
fine=$(date -d '+80 minutes' +%Y%m%dT%H%M00)
cat > "$sessione/evento.ics" <<EOF
BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Halvora//prova//IT
BEGIN:VEVENT
UID:prova-sessione-utente
DTSTAMP:$(date -u +%Y%m%dT%H%M%SZ)
DTSTART:$inizio
DTEND:$fine
SUMMARY:Dentista di Ana
END:VEVENT
END:VCALENDAR
EOF
controlla "the event is in her calendar store" come_lei "$client_eds" scrivi system-calendar "$sessione/evento.ics"

# Her own clone of the tree (made by root, who may read this one, and
# given to her), which she builds; kept between runs, so builds only what changed.
if [ ! -d "$casa/halvora/.git" ]; then
  git clone -q "$radice" "$casa/halvora"
else
  git -c safe.directory="*" -C "$casa/halvora" fetch -q "$radice" HEAD &&
    git -c safe.directory="*" -C "$casa/halvora" reset -q --hard FETCH_HEAD
fi
chown -R "$utente:" "$casa/halvora"

# One run of the command, as she types it; $1 names it, the rest is the command.
una_prova() {
  local nome=$1
  shift
  rm -rf "$casa/.config/Halvora"
  local root_prima=
  [ -e /root/.config/Halvora/Halvora.ini ] && root_prima=$(stat -c %Y /root/.config/Halvora/Halvora.ini)
  echo "== $nome: $*"
  come_lei bash -c "cd ~/halvora && $*" >"$uscita/$nome.log" 2>&1 &
  local comando=$!
  local pid=
  for _ in $(seq 3600); do # a first build takes minutes
    pid=$(pgrep -u "$uid" -x halvora | head -n1)
    [ -n "$pid" ] && break
    kill -0 $comando 2>/dev/null || break
    sleep 1
  done
  controlla "$nome: the panel runs as $utente" test -n "$pid"
  [ -n "$pid" ] || { tail -n 20 "$uscita/$nome.log"; return; }
  controlla "$nome: no copy of hers runs as root" test -z "$(pgrep -u 0 -f "^$casa/halvora/")"
  controlla "$nome: on her session bus" bash -c "tr '\0' '\n' < /proc/$pid/environ | grep -qx 'DBUS_SESSION_BUS_ADDRESS=unix:path=$run/bus'"
  sleep 8 # the music card and the next event come in
  come_lei grim "$uscita/$nome-chiusa.png"
  come_lei "$casa/halvora/build/Halvora.app/halvora" --apri-chiudi
  sleep 3
  come_lei grim "$uscita/$nome-aperta.png"
  # The open panel's music and calendar tabs, where the 1920-point screen puts them.
  come_lei "$puntatore" muovi 1059 63 clic >/dev/null
  sleep 2
  come_lei grim "$uscita/$nome-musica.png"
  come_lei "$puntatore" muovi 939 63 clic >/dev/null
  sleep 2
  come_lei grim "$uscita/$nome-calendario.png"
  controlla "$nome: settings under her home" test -s "$casa/.config/Halvora/Halvora.ini"
  controlla "$nome: none under root's" test "$(stat -c %Y /root/.config/Halvora/Halvora.ini 2>/dev/null)" = "$root_prima"
  kill -TERM "$pid"
  wait $comando
  sleep 2
  local rimasti
  rimasti=$(for p in $(marcati 0); do echo "$p $(tr '\0' ' ' < "/proc/$p/cmdline")"; done)
  controlla "$nome: no root process left behind${rimasti:+: $rimasti}" test -z "$rimasti"
}

una_prova utente "nice bash scripts/halvora.sh run"

voce="$casa/.local/share/applications/halvora.desktop"
controlla "the menu entry passes desktop-file-validate" desktop-file-validate "$voce"
controlla "the menu entry shows" bash -c "[ -f '$voce' ] && ! grep -q '^NoDisplay=true' '$voce'"
# A copy outside ~/Applications offers "Installa" on its first start only:
# this start is a first one again. The panel's diagnostic lines (its
# standard output, which gio hands on) tell where the card's buttons are.
rm -rf "$casa/.config/Halvora"
come_lei env HALVORA_DIAGNOSTICA=1 gio launch "$voce" >"$uscita/menu.log" 2>&1 &
pid=
attendi 300 bash -c "pgrep -u $uid -x halvora >/dev/null" && pid=$(pgrep -u "$uid" -x halvora | head -n1)
controlla "the menu starts the panel" test -n "$pid"
if [ -n "$pid" ]; then
  # The pointer away from the notch, which closes and shows the card below it.
  come_lei "$puntatore" muovi 200 900 >/dev/null
  attendi 100 grep -q ' Installa$' "$uscita/menu.log"
  sleep 2 # its entrance ends before the screenshot
  come_lei grim "$uscita/menu.png"
  # "Installa" on the card under the closed notch: the copy in ~/Applications
  # takes over, and from then on the menu starts that one.
  installata="$casa/Applications/Halvora.app"
  sua() { # sua <executable>: her panel running from it
    local p
    for p in $(pgrep -u "$uid" -x halvora); do
      [ "$(readlink "/proc/$p/exe")" = "$1" ] && echo "$p"
    done
    true
  }
  gira_installata() { [ -n "$(sua "$installata/halvora")" ]; }
  dove=$(grep '^pulsante .* Installa$' "$uscita/menu.log" | tail -n1 | cut -d' ' -f2)
  controlla "the installation card shows its button${dove:+ at $dove}" test -n "$dove"
  [ -n "$dove" ] && come_lei "$puntatore" muovi "${dove%,*}" "${dove#*,}" clic >/dev/null
  attendi 600 gira_installata
  controlla "Installa: the copy in ~/Applications runs" gira_installata
  echo "the installed bundle: $(du -sh "$installata" 2>&1)"
  controlla "the entry then passes desktop-file-validate" desktop-file-validate "$voce"
  controlla "the entry then names the installed copy" grep -q "^Exec=\"$installata/halvora\"" "$voce"
  ferma() { local p; for p in "$@"; do kill -TERM "$p" 2>/dev/null; attendi 100 bash -c "! kill -0 $p 2>/dev/null"; done; }
  ferma "$pid" $(sua "$installata/halvora")
  come_lei gio launch "$voce" >>"$uscita/menu.log" 2>&1 &
  attendi 300 gira_installata
  controlla "the menu starts the installed copy" gira_installata
  sleep 5
  come_lei grim "$uscita/menu-installata.png"
  # Whatever copy is left (the menu's second start when the install
  # failed), else the run through sudo would hand its start to it.
  ferma $(for p in $(marcati "$uid"); do [ "$(cat "/proc/$p/comm" 2>/dev/null)" = halvora ] && echo "$p"; done)
  # The runs through sudo start from her tree again.
  rm -rf "$installata"
fi

echo "$utente ALL=(root) NOPASSWD: ALL" > "$sudoers"
chmod 440 "$sudoers"
una_prova sudo "nice sudo bash scripts/halvora.sh run"

echo "screenshots and logs: $uscita"
[ $fallimenti -eq 0 ] && echo "all checks passed" || echo "$fallimenti checks failed"
exit $((fallimenti > 0))
