// Arbitrary bytes as a Standard MIDI File: scan its length, then play it from the start
// on the manual clock. Playback must stop by the end the scan reported (one timer
// period of slack); a song that plays on past it stalls unattended list playback.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/midi_sequencer.h"
#include "engine/sequencer_factory.h"
#include "fuzz/manual_engine.h"

namespace {

using namespace volta;

constexpr std::uint32_t kUnitsPerMs = 100;                        // song time runs in 10 µs units
constexpr std::uint32_t kLongestChecked = 600'000 * kUnitsPerMs;  // longer songs would only slow the search
constexpr std::uint32_t kPeriodMs = 10;

using Environment = fuzz::ManualEngine;

void playToTheEnd(Environment& env, engine::MidiSequencer& sequencer, std::uint32_t total) {
  const std::uint32_t limit = total + 2 * kPeriodMs * kUnitsPerMs;
  sequencer.seek(0);
  sequencer.play();
  // A song that fails on its way stops its clock with the playing flag still set.
  const std::uint32_t periods = limit / (kPeriodMs * kUnitsPerMs) + 2;
  for (std::uint32_t i = 0; i < periods && sequencer.status()->playing != 0; ++i) {
    env.timers.advanceMilliseconds(kPeriodMs);
    if (sequencer.status()->songTime > limit) {
      std::fprintf(stderr, "playback at %u went past the scanned end %u\n", sequencer.status()->songTime, total);
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Environment env;
  const auto songSize = static_cast<std::uint32_t>(size);
  engine::MidiSequencer* sequencer = engine::createSequencer(protocol::kFileSMF, env.output, songSize);
  if (!sequencer || !sequencer->allocated()) {
    engine::destroySequencer(sequencer);
    return 0;
  }
  std::memcpy(sequencer->data(), data, songSize);
  sequencer->prepare();
  const std::uint32_t total = sequencer->scanLength();
  if (total > 0 && total <= kLongestChecked) playToTheEnd(env, *sequencer, total);
  engine::destroySequencer(sequencer);
  return 0;
}
