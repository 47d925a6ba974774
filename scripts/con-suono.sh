#!/usr/bin/env bash
# Runs a command with a private sound server (PipeWire, its session manager
# and its PulseAudio service) whose one microphone hears a steady tone, as a
# desktop with a microphone would offer, and tears it down afterwards. Needs
# a session bus (run it inside dbus-run-session).
set -u
dir=$(mktemp -d)
chmod 700 "$dir"
mkdir -p "$dir/config/pipewire/pipewire.conf.d"
# The microphone reads what a live tone writes into a pipe, paced by the
# server's own clock as a device would be.
cat > "$dir/config/pipewire/pipewire.conf.d/microfono.conf" <<FINE
context.modules = [
    { name = libpipewire-module-pipe-tunnel
        args = {
            tunnel.mode = source
            pipe.filename = "$dir/microfono"
            audio.format = S16LE
            audio.rate = 48000
            audio.channels = 1
            stream.props = {
                node.name = microfono-prova
                node.description = "Microfono di prova"
            }
        }
    }
]
FINE
export XDG_RUNTIME_DIR=$dir
# The server's own settings stay in this folder; the command keeps its own.
XDG_CONFIG_HOME=$dir/config pipewire >"$dir/pipewire.log" 2>&1 &
pw=$!
for _ in $(seq 50); do
  [ -S "$dir/pipewire-0" ] && [ -p "$dir/microfono" ] && break
  sleep 0.1
done
gst-launch-1.0 -q audiotestsrc is-live=true wave=sine freq=440 volume=0.5 \
  ! audio/x-raw,format=S16LE,rate=48000,channels=1 \
  ! filesink location="$dir/microfono" buffer-mode=2 >"$dir/tono.log" 2>&1 &
tono=$!
XDG_CONFIG_HOME=$dir/config wireplumber >"$dir/wireplumber.log" 2>&1 &
wp=$!
XDG_CONFIG_HOME=$dir/config pipewire-pulse >"$dir/pipewire-pulse.log" 2>&1 &
pp=$!
# Ready once the microphone is there and PulseAudio clients can connect.
for _ in $(seq 100); do
  pw-cli info microfono-prova >/dev/null 2>&1 && [ -S "$dir/pulse/native" ] && break
  sleep 0.1
done
sleep 0.5
if ! pw-cli info microfono-prova >/dev/null 2>&1; then
  echo "con-suono: the sound server did not start" >&2
  tail -n 5 "$dir"/*.log >&2
  kill $pp $wp $tono $pw 2>/dev/null
  exit 1
fi
"$@"
rc=$?
kill $pp $wp $tono $pw 2>/dev/null
wait 2>/dev/null
rm -rf "$dir"
exit $rc
