#pragma once
// Rendering the software synthesizer to a WAV file instead of the audio output,
// faster than real time. While a renderer exists, ports opened on the "Software
// synthesizer" play into it. Time is the platform clock: every message takes effect
// at the clock's present time, so a caller that installs a ManualClock and a
// ManualTimerService and advances them steps the engine and the sound together.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "platform/midi/software_synth.h"

namespace volta::platform::midi {

class WavRenderer {
 public:
  static constexpr int kSampleRate = 44100;

  // Creates the file (16-bit stereo PCM at 44.1 kHz) and installs the renderer.
  // nullptr with the reason in error when no SoundFont is found, the SoundFont does
  // not load, the file cannot be created or another renderer is installed.
  static std::unique_ptr<WavRenderer> open(const std::string& path, std::string& error,
                                           const std::string& soundFont = {});
  // Finishes the file (if finish was not called) and uninstalls the renderer.
  ~WavRenderer();
  WavRenderer(const WavRenderer&) = delete;
  WavRenderer& operator=(const WavRenderer&) = delete;

  // Renders the sound up to the clock's present time.
  void renderToNow();
  // Renders this much more sound without moving the clock (a tail for the last notes' release).
  void renderMilliseconds(std::uint32_t ms);
  // Renders on without moving the clock until the synthesizer has been silent for a
  // moment, at most `maxMs`; returns the milliseconds rendered.
  std::uint32_t renderUntilSilent(std::uint32_t maxMs);
  // Writes the header's lengths and closes the file; false when writing failed.
  bool finish();
  std::uint64_t framesRendered() const;

 private:
  class Sink;
  WavRenderer() = default;

  std::shared_ptr<Sink> sink_;
};

}  // namespace volta::platform::midi
