#pragma once
// ALSA sequencer and JACK MIDI ports through RtMidi, as output and input devices.
// Device names are the ones users see in `aconnect -l` ("client:port") and in JACK
// ("client:port"); the ALSA client and port numbers are left out because they change
// between restarts, and a second port of the same name gets " (2)" appended.
// Either system may be missing (no /dev/snd, no JACK server): it then lists nothing.

#include <memory>
#include <string>

#include "platform/midi/input_device.h"
#include "platform/midi/output_device.h"

namespace volta::platform::midi {

enum class MidiSystem { Alsa, Jack };

// The name under which this program's ports appear to other programs.
inline constexpr const char* kMidiClientName = "VOLTA Player";

// Ports of other programs that accept MIDI (for output) or send it (for input).
std::shared_ptr<OutputBackend> rtMidiOutputBackend(MidiSystem system);
std::shared_ptr<InputBackend> rtMidiInputBackend(MidiSystem system);

// A port of this program named portName that other programs connect to and send
// into; nullptr when the system is not available.
std::unique_ptr<InputDevice> openVirtualInput(MidiSystem system, const std::string& portName, InputCallback callback);

}  // namespace volta::platform::midi
