#pragma once
// "Software synthesizer": FluidSynth as a MIDI output device, for users with no
// sound module. It plays through the default audio output; while a renderer is
// installed its ports play into that renderer instead (see wav_renderer.h).

#include <memory>
#include <string>

#include "platform/midi/output_device.h"
#include "platform/midi/sound_font.h"

namespace volta::platform::midi {

class SynthRack;

inline constexpr const char* kSoftwareSynthName = "Software synthesizer";
// Notes that sound at once on each port: FluidSynth's polyphony, which the rack keeps.
inline constexpr int kSoftwareSynthVoices = 256;

// Lists "Software synthesizer" when a SoundFont is found.
std::shared_ptr<OutputBackend> softwareSynthBackend();

// Why the software synthesizer last failed to open; empty after a successful open.
std::string softwareSynthError();

// Where the synthesizer's ports play: the audio output or a renderer.
class SynthSink {
 public:
  virtual ~SynthSink() = default;
  virtual SynthRack& rack() = 0;
  // Called before every message takes effect (a renderer catches up with the clock).
  virtual void beforeMessage() {}
};

// While a sink is installed, ports opened on the software synthesizer play into it;
// nullptr restores the audio output. Ports already open keep their sink.
void installSynthSink(std::shared_ptr<SynthSink> sink);

}  // namespace volta::platform::midi
