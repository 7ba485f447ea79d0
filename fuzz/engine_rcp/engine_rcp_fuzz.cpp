// An RCP or G36 image in the engine's data buffer: byte 0 picks the sequencer (bit 0)
// and the repeat-count option (bits 1-2); then prepare, length scan, seek and play.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/rcp_sequencer.h"
#include "platform/clock.h"
#include "platform/low_memory.h"
#include "platform/timer.h"

namespace {

constexpr int kPlaySteps = 2000;

template <class Sequencer>
void exercise(const std::uint8_t* file, std::size_t size, std::uint16_t repeat) {
  auto* sequencer = volta::platform::newLow<Sequencer>(nullptr, static_cast<std::uint32_t>(size));
  if (sequencer == nullptr) return;
  if (sequencer->allocated()) {
    if (size != 0) std::memcpy(sequencer->data(), file, size);
    sequencer->status()->playControl.repeatCount = repeat;
    sequencer->prepare();
    sequencer->scanLength();
    sequencer->seek(0);
    for (int i = 0; i < kPlaySteps && sequencer->status()->playing != 0; ++i) {
      sequencer->step(volta::engine::StepMode::Play);
    }
  }
  sequencer->releaseTimer();
  volta::platform::deleteLow(sequencer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static volta::platform::ManualClock clock;
  static volta::platform::ManualTimerService timers(clock);
  static const bool installed = [] {
    volta::platform::installClock(&clock);
    volta::platform::installTimerService(&timers);
    return true;
  }();
  (void)installed;
  if (size < 1) return 0;
  const auto repeat = static_cast<std::uint16_t>((data[0] >> 1) & 3);
  if (data[0] & 1) {
    exercise<volta::engine::RCP95Sequencer>(data + 1, size - 1, repeat);
  } else {
    exercise<volta::engine::RCPSequencer>(data + 1, size - 1, repeat);
  }
  return 0;
}
