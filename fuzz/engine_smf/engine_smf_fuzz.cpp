// Arbitrary bytes as a Standard MIDI File in a sequencer's data buffer: prepare, scan,
// seek forwards and backwards and play some timer periods through an output without
// devices. The first two bytes choose the port assignment and the speed code.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/midi_sequencer.h"
#include "engine/sequencer_factory.h"
#include "fuzz/manual_engine.h"

namespace {

using namespace volta;

constexpr std::uint32_t kMaxSeek = 200000;  // 2 s of song time

using Environment = fuzz::ManualEngine;

void play(Environment& env, engine::MidiSequencer& sequencer, std::uint32_t target, std::uint64_t ms) {
  sequencer.seek(target);
  sequencer.play();
  env.timers.advanceMilliseconds(ms);
  sequencer.pause();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Environment env;
  if (size < 2) return 0;
  const auto songSize = static_cast<std::uint32_t>(size - 2);
  engine::MidiSequencer* sequencer = engine::createSequencer(protocol::kFileSMF, env.output, songSize);
  if (!sequencer || !sequencer->allocated()) {
    engine::destroySequencer(sequencer);
    return 0;
  }
  std::memcpy(sequencer->data(), data + 2, songSize);
  auto& control = sequencer->status()->playControl;
  control.portAssignment = data[0] & 7;
  control.speed = static_cast<std::int16_t>(static_cast<std::int8_t>(data[1]) / 16);
  sequencer->prepare();
  const std::uint32_t total = sequencer->scanLength();
  const std::uint32_t middle = std::min(total / 2, kMaxSeek);
  play(env, *sequencer, middle, 30);
  play(env, *sequencer, middle + middle / 2, 10);  // forwards: chase only
  play(env, *sequencer, 0, 30);                    // backwards: rebuilt from the start
  engine::destroySequencer(sequencer);
  return 0;
}
