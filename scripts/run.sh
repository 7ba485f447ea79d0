#!/usr/bin/env bash
# Starts the player on its embedded defaults. Until the player program exists this
# plays the demo song through the engine to the trace device and prints the trace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
trace=$(mktemp --suffix=.trace)
echo "run: playing the demo song through libvoltant.so to the trace device ($trace)"
VOLTA_MIDI_TRACE="$trace" "$bin/volta-play" --device Trace "$root/player/resources/demo.mid"
cat "$trace"
