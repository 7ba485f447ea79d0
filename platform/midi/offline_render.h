#pragma once
// Headless rendering faster than real time: while an OfflineRender exists, time is a
// manual clock and timer service that it steps itself, and the "Software synthesizer"
// plays into a WAV file. Whatever runs on the platform's timer (the engine's
// sequencer) therefore plays the song as fast as the machine can compute it.
//
//   auto render = OfflineRender::open("song.wav", error);
//   ...open the engine's output on the software synthesizer, load the song, play...
//   render->run([&] { return !playing(); });
//   ...close the song and the output...
//   render->finish();

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/midi/wav_renderer.h"
#include "platform/timer.h"

namespace volta::platform::midi {

struct OfflineRenderOptions {
  std::uint32_t periodMs = 5;       // the step of the manual timer
  std::uint32_t tailMs = 1000;      // sound rendered after the end (releases, reverb)
  std::uint64_t limitMs = 3600000;  // a song that never ends stops here
  std::string soundFont;            // empty: the one findSoundFont() finds
};

class OfflineRender {
 public:
  // Installs the manual clock and timer service and opens the WAV file; nullptr
  // with the reason in error when the renderer cannot open.
  static std::unique_ptr<OfflineRender> open(const std::string& path, std::string& error,
                                             const OfflineRenderOptions& options = {});
  // Finishes the file and restores the system clock and timer service.
  ~OfflineRender();
  OfflineRender(const OfflineRender&) = delete;
  OfflineRender& operator=(const OfflineRender&) = delete;

  // Steps time until finished() is true (checked before every step) or the limit
  // passes, then renders the tail either way; false when the limit stopped it.
  bool run(const std::function<bool()>& finished);
  // Writes the WAV header; false when writing failed.
  bool finish();

  ManualClock& clock() { return clock_; }
  std::uint64_t framesRendered() const { return wav_->framesRendered(); }

 private:
  explicit OfflineRender(const OfflineRenderOptions& options) : options_(options), timers_(clock_) {}

  OfflineRenderOptions options_;
  ManualClock clock_;
  ManualTimerService timers_;
  std::unique_ptr<WavRenderer> wav_;
};

}  // namespace volta::platform::midi
