// Converting a 64 KiB RCP song in-process, as the player does before playing it, and
// the engine's length scan (command 38) of the same song.

#include <benchmark/benchmark.h>

#include <cstring>

#include "converter/morph.h"
#include "engine/rcp_sequencer.h"
#include "platform/clock.h"
#include "platform/low_memory.h"
#include "platform/timer.h"
#include "tests/support/rcp_writer.h"

namespace {

// 18 tracks of notes and controls, each inside a loop played `passes` times: 64 KiB in all.
std::vector<std::uint8_t> song64k(std::uint32_t passes) {
  volta::test::RcpWriter writer(false);
  writer.timeBase = 96;
  const std::size_t perTrack = (65536 - writer.headerSize()) / 18;
  const std::size_t records = (perTrack - writer.trackHeaderSize()) / writer.recordSize();
  for (int t = 0; t < 18; ++t) {
    auto& track = writer.addTrack(static_cast<std::uint8_t>(t % 16));
    track.add(0xEC, 0, static_cast<std::uint32_t>(t)).add(0xEB, 0, 7, 100).add(0xF9, 0);
    for (std::size_t i = 0; track.records.size() + 3 < records; ++i) {
      if (i % 16 == 15) {
        track.add(0xEB, 0, 10, static_cast<std::uint32_t>(i % 128));
      } else {
        track.add(static_cast<std::uint8_t>(36 + (i * 7 + t) % 48), 12, 10, 64 + i % 60);
      }
    }
    track.add(0xF8, passes).end();
  }
  return writer.build();
}

void ConvertRcp64k(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = song64k(static_cast<std::uint32_t>(state.range(0)));
  std::size_t smfBytes = 0;
  for (auto _ : state) {
    void* object = morphConvertFileFromBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, nullptr, 0, 0);
    smfBytes = morphGetSMFLength(object);
    morphDeleteObject(object);
  }
  state.counters["rcp_bytes"] = static_cast<double>(bytes.size());
  state.counters["smf_bytes"] = static_cast<double>(smfBytes);
}
BENCHMARK(ConvertRcp64k)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void ScanRcp64k(benchmark::State& state) {
  volta::platform::ManualClock clock;
  volta::platform::ManualTimerService timers(clock);
  volta::platform::installClock(&clock);
  volta::platform::installTimerService(&timers);
  const std::vector<std::uint8_t> bytes = song64k(static_cast<std::uint32_t>(state.range(0)));
  auto* sequencer =
      volta::platform::newLow<volta::engine::RCPSequencer>(nullptr, static_cast<std::uint32_t>(bytes.size()));
  std::memcpy(sequencer->data(), bytes.data(), bytes.size());
  sequencer->prepare();
  for (auto _ : state)
    benchmark::DoNotOptimize(sequencer->scanLength());
  sequencer->releaseTimer();
  volta::platform::deleteLow(sequencer);
  volta::platform::installTimerService(nullptr);
  volta::platform::installClock(nullptr);
}
BENCHMARK(ScanRcp64k)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
