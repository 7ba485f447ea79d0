#!/usr/bin/env bash
# Starts the player on its embedded defaults: the demo song on the built-in software
# synthesizer, rendered to a WAV file when there is no audio output. Until the
# window program exists the terminal player plays it; afterwards the song runs once
# more through the engine to the trace device, and the trace is printed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
demo="$root/player/resources/demo.mid"

echo "run: playing the demo song on the software synthesizer"
"$bin/volta-play" --device "Software synthesizer" "$demo"
status=$?
if [ $status -eq 3 ]; then
  wav="$root/build/demo.wav"
  echo "run: no audio output here; rendering the demo song to $wav instead"
  "$bin/volta-play" --render "$wav" "$demo" || exit 1
elif [ $status -ne 0 ]; then
  exit $status
fi

trace="$root/build/demo.trace"
echo "run: the demo song through libvoltant.so to the trace device, at eight times speed ($trace)"
"$bin/volta-play" --trace "$trace" --speed 8 "$demo" > /dev/null || exit 1
cat "$trace"
