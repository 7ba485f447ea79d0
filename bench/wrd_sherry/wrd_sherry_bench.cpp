// Speed of the Sherry processor: one display frame (draw, blend, show the whole 640x480
// screen) must fit well within a display tick, and catching up after a jump must be quick.

#include <benchmark/benchmark.h>

#include "player/wrd/sherry/process_wrd.h"
#include "tests/player/wrd/sherry/sherry_writer.h"

namespace {

using namespace volta::wrd::sherry;
using namespace volta::wrd::sherry::test;

constexpr int kFrames = 5000;

// Each frame: a box, a line of text, a palette blend, a copy and the whole screen shown.
Bytes frameScript() {
  SherryWriter writer(480);
  writer.event(0x21, ids({1, 2, 3})).event(0x25, newScreen(1, 640, 480, 0).raw(newScreen(2, 640, 480, 0).bytes));
  writer.startTiming().wait(1);
  for (int frame = 0; frame < kFrames; ++frame) {
    const int x = frame % 600;
    writer.event(0x52, box(1, 0, x, 0, x + 39, 479, frame & 0xFF));
    writer.event(0x51, Params().u16(1).u8(0xFF).u8(7).u16(8).u16(8).text("Frame text of forty characters......."));
    writer.event(0x42, Params().u16(1).u16(2).u16(3).u8(0).u8(4).u8(0).u8(4).u8(4).u8(4).u8(frame % 101));
    writer.event(0x61, copy(1, 2, 0xFF, 0, 0, 319, 239, 320, 240));
    writer.event(0x31, ids({3})).event(0x35, Params().u16(2).u16(0).u16(0)).wait(1);
  }
  return writer.end().bytes();
}

void BM_OneFrame(benchmark::State& state) {
  SDisplay display;
  SProcessWRD processor(display);
  processor.openBuffer(frameScript(), {});
  processor.reset();
  std::int64_t time = processor.currentTime();
  for (auto _ : state) {
    if (processor.state() != SProcessWRD::State::kTiming) {
      state.PauseTiming();
      processor.reset();
      time = processor.currentTime();
      state.ResumeTiming();
    }
    processor.process(++time);
  }
}
BENCHMARK(BM_OneFrame)->Unit(benchmark::kMicrosecond);

void BM_CatchUpWholeScript(benchmark::State& state) {
  SDisplay display;
  SProcessWRD processor(display);
  processor.openBuffer(frameScript(), {});
  for (auto _ : state) {
    processor.reset();
    processor.process(kFrames + 10);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_CatchUpWholeScript)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
