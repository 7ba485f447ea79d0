// Sequencer performance:
//  - PlayDenseSong: CPU used by the real timer thread while a dense 16-channel song
//    plays through an output without devices (target below 1 % of one core);
//  - TimerLateness: how late the thread timer's callbacks come after their deadlines
//    at 5 ms and 1 ms (target p99 below 0.5 ms);
//  - ScanLength1MiB: command 38 on a 1 MiB Standard MIDI File (target below 20 ms).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/midi/output_device.h"
#include "platform/timer.h"
#include "player/core/startup/linked_engine.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;

std::uint64_t nowNs(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000000ull + static_cast<std::uint64_t>(t.tv_nsec);
}

// 16 tracks, one channel each: a note every `spacing` ticks at 480 ticks a quarter
// and 120 beats a minute (960 ticks a second), for `seconds` seconds.
test::Bytes denseSong(int spacing, int seconds, int tracks = 16) {
  test::SmfWriter writer(1, 480);
  const int notes = seconds * 960 / spacing;
  for (int channel = 0; channel < tracks; ++channel) {
    test::SmfTrack track(true);
    track.program(0, channel % 16, channel).controller(0, channel % 16, 7, 100);
    for (int n = 0; n < notes; ++n) {
      track.noteOn(n == 0 ? 0 : static_cast<std::uint32_t>(spacing / 2), channel % 16, 40 + (n + channel) % 48, 90);
      track.noteOn(static_cast<std::uint32_t>(spacing / 2), channel % 16, 40 + (n + channel) % 48, 0);
    }
    writer.track(track.endOfTrack());
  }
  return writer.build();
}

// The engine linked in, as tools reach it, with an output without devices.
class Engine {
 public:
  Engine() : binding_(core::bindLinkedEngine()) {
    const std::array<std::uint32_t, 3> none{platform::midi::kNoDevice, platform::midi::kNoDevice,
                                            platform::midi::kNoDevice};
    output_ = core::OutputHandle::open(*binding_, none);
  }
  ~Engine() { std::filesystem::remove(file_); }
  std::unique_ptr<core::SongHandle> openSong(const test::Bytes& song) {
    test::writeFile(file_, song);
    return core::SongHandle::open(*binding_, output_.get(), file_).song;
  }

 private:
  std::filesystem::path file_ = std::filesystem::temp_directory_path() / "volta-sequencer-bench.mid";
  std::unique_ptr<core::EngineBinding> binding_;
  std::unique_ptr<core::OutputHandle> output_;
};

void PlayDenseSong(benchmark::State& state) {
  const test::Bytes song = denseSong(16, 12);  // 16 x 60 notes a second: 1920 events a second
  Engine engine;
  const auto handle = engine.openSong(song);
  handle->titles();
  handle->scanLength();
  handle->seek(0);
  double cpuPercent = 0;
  std::uint32_t ticks = 0;
  for (auto _ : state) {
    handle->play();
    const std::uint64_t wall0 = nowNs(CLOCK_MONOTONIC);
    const std::uint64_t cpu0 = nowNs(CLOCK_PROCESS_CPUTIME_ID);
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const std::uint64_t cpu = nowNs(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const std::uint64_t wall = nowNs(CLOCK_MONOTONIC) - wall0;
    handle->pause();
    cpuPercent = 100.0 * static_cast<double>(cpu) / static_cast<double>(wall);
    ticks = handle->status()->position;
  }
  state.counters["cpu_percent_of_core"] = cpuPercent;
  state.counters["ticks_played"] = ticks;
}
BENCHMARK(PlayDenseSong)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

struct LatenessProbe {
  std::vector<std::uint64_t> calls;
  std::size_t wanted = 0;
};

void recordCall(std::uint32_t, void* user) {
  auto* probe = static_cast<LatenessProbe*>(user);
  if (probe->calls.size() < probe->wanted) probe->calls.push_back(nowNs(CLOCK_MONOTONIC));
}

// Deadlines lie on a grid of periods, re-anchored where the timer gave up on missed
// deadlines after a stall of more than four periods; the earliest call of each stretch
// marks its grid. Returns the number of stalls.
std::size_t appendLateness(const std::vector<std::uint64_t>& calls, std::uint64_t periodNs, std::vector<double>& out) {
  std::size_t stalls = 0;
  for (std::size_t start = 0; start < calls.size(); ++stalls) {
    std::uint64_t origin = calls[start];
    std::size_t end = start + 1;
    for (; end < calls.size(); ++end) {
      const std::uint64_t onGrid = calls[end] - (end - start) * periodNs;
      if (onGrid > origin + 4 * periodNs) break;
      origin = std::min(origin, onGrid);
    }
    for (std::size_t k = start; k < end; ++k)
      out.push_back(static_cast<double>(calls[k] - (k - start) * periodNs - origin) / 1e6);
    start = end;
  }
  return stalls - 1;
}

void TimerLateness(benchmark::State& state) {
  const auto periodMs = static_cast<std::uint32_t>(state.range(0));
  const std::uint64_t periodNs = periodMs * 1000000ull;
  platform::ThreadTimerService service;
  std::vector<double> lateness;
  std::size_t stalls = 0;
  for (auto _ : state) {
    LatenessProbe probe;
    probe.wanted = 2000 / periodMs * 2;  // about 4 s of calls
    probe.calls.reserve(probe.wanted);
    const std::uint32_t id = service.start(periodMs, recordCall, &probe);
    std::this_thread::sleep_for(std::chrono::milliseconds(periodMs * probe.wanted + 100));
    service.stop(id);
    stalls += appendLateness(probe.calls, periodNs, lateness);
  }
  std::sort(lateness.begin(), lateness.end());
  const auto at = [&](double q) {
    return lateness[static_cast<std::size_t>(q * static_cast<double>(lateness.size() - 1))];
  };
  state.counters["p50_ms"] = at(0.5);
  state.counters["p99_ms"] = at(0.99);
  state.counters["max_ms"] = lateness.back();
  state.counters["stalls"] = static_cast<double>(stalls);
}
BENCHMARK(TimerLateness)->Arg(5)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void ScanLength1MiB(benchmark::State& state) {
  const test::Bytes song = denseSong(4, 45);  // about 1 MiB
  Engine engine;
  const auto handle = engine.openSong(song);
  std::uint32_t total = 0;
  for (auto _ : state)
    total = handle->scanLength().totalTime;
  state.counters["song_bytes"] = static_cast<double>(song.size());
  state.counters["song_seconds"] = total / 100000.0;
}
BENCHMARK(ScanLength1MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
