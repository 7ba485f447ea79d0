#!/usr/bin/env bash
# Starts the player on the demo song. With a display the window program `volta` plays
# it on "MIDI Mapper" (the first hardware port, else the built-in software
# synthesizer). Without a display the terminal player `volta-play` plays it; without an
# audio output the song is rendered to a WAV file instead. Each path says what it did.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
demo="$root/player/resources/demo.mid"

# Whether "MIDI Mapper" opens: an empty song played on it ends at once, with status 3
# when the device cannot be opened (no audio output, no MIDI port).
mapper_opens() {
  local empty
  empty=$(mktemp --suffix=.mid) || return 1
  printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\4\0\377\57\0' > "$empty"
  "$bin/volta-play" --device "MIDI Mapper" "$empty" > /dev/null 2>&1
  local status=$?
  rm -f "$empty"
  [ $status -eq 0 ]
}

render_demo() {
  local wav="$root/build/demo.wav"
  echo "run: no audio output here; rendering the demo song to $wav instead"
  "$bin/volta-play" --render "$wav" "$demo"
}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if ! mapper_opens; then
    render_demo || exit 1
    echo "run: the window opens all the same; its port A stays closed"
  fi
  echo "run: starting the player window (build/bin/volta) on the demo song, port A on \"MIDI Mapper\""
  "$bin/volta" "$demo"
  status=$?
  [ $status -eq 0 ] && echo "run: the player window was closed (or a running player took the song)"
  exit $status
fi

echo "run: no display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): playing the demo song in the terminal on the software synthesizer"
"$bin/volta-play" --device "Software synthesizer" "$demo"
status=$?
if [ $status -eq 3 ]; then
  render_demo || exit 1
elif [ $status -ne 0 ]; then
  exit $status
fi

trace="$root/build/demo.trace"
echo "run: the demo song through libvoltant.so to the trace device, at eight times speed ($trace)"
"$bin/volta-play" --trace "$trace" --speed 8 "$demo" > /dev/null || exit 1
cat "$trace"
