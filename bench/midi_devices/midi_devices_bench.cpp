// Rendering speed of the software synthesizer, and the latency that a JACK output
// device adds between a send and this program's own JACK input.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <vector>

#include "platform/clock.h"
#include "platform/midi/input_device.h"
#include "platform/midi/offline_render.h"
#include "platform/midi/output_device.h"
#include "platform/midi/rtmidi_devices.h"
#include "platform/midi/software_synth.h"
#include "platform/midi/wav_renderer.h"
#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/platform/midi/jack_server.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta::platform;
using namespace volta::platform::midi;

// A busy arrangement: eight-note chords on eight channels every 125 ms, with a drum
// pattern, for the given number of seconds.
void playBusySong(OutputDevice& synth, ManualClock& clock, int seconds) {
  for (std::uint32_t channel = 0; channel < 8; ++channel)
    synth.sendShort(0xC0 | channel | (channel * 8) << 8);
  for (int step = 0; step < seconds * 8; ++step) {
    for (std::uint32_t channel = 0; channel < 8; ++channel) {
      const std::uint32_t note = 48 + channel * 3 + static_cast<std::uint32_t>(step % 12);
      synth.sendShort(0x90 | channel | note << 8 | 0x60u << 16);
    }
    synth.sendShort(0x7F0099 | (step % 2 ? 38u : 36u) << 8);
    clock.advanceMilliseconds(125);
    for (std::uint32_t channel = 0; channel < 8; ++channel) {
      const std::uint32_t note = 48 + channel * 3 + static_cast<std::uint32_t>(step % 12);
      synth.sendShort(0x80 | channel | note << 8);
    }
  }
}

void SoftwareSynthRendering(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  const auto path = std::filesystem::temp_directory_path() / ("volta-bench-" + std::to_string(getpid()) + ".wav");
  ManualClock clock;
  installClock(&clock);
  double rendered = 0;
  for (auto _ : state) {
    std::string error;
    auto renderer = WavRenderer::open(path.string(), error);
    if (!renderer) {
      state.SkipWithError(error.c_str());
      break;
    }
    {
      auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
      playBusySong(*synth, clock, seconds);
    }
    renderer->renderToNow();
    renderer->finish();
    rendered += static_cast<double>(renderer->framesRendered()) / WavRenderer::kSampleRate;
  }
  installClock(nullptr);
  std::filesystem::remove(path);
  // Seconds of sound per second of work: the real-time factor.
  state.counters["x_real_time"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
}
// Rates are per second of CPU time: on a shared machine the wall clock measures the neighbours.
BENCHMARK(SoftwareSynthRendering)->Arg(30)->Unit(benchmark::kMillisecond);

// The demo song played by the engine on a manual clock into the renderer: the
// headless rendering path, timed from opening the file to its last sample.
void DemoSongThroughTheEngine(benchmark::State& state) {
  const auto demo = volta::test::sourceDir() / "player" / "resources" / "demo.mid";
  const auto song = volta::test::readFile(demo);
  const auto path = std::filesystem::temp_directory_path() / ("volta-demo-" + std::to_string(getpid()) + ".wav");
  double rendered = 0;
  for (auto _ : state) {
    volta::test::SequencerHarness engine;
    std::string error;
    auto render = OfflineRender::open(path.string(), error);
    if (!render || song.empty()) {
      state.SkipWithError(song.empty() ? "the demo song is missing" : error.c_str());
      break;
    }
    auto& open = engine.command<volta::protocol::OpenOutputCommand>(volta::protocol::kOpenOutput);
    open.portCount = 1;
    const std::uint32_t synth = findOutputDevice(kSoftwareSynthName);
    for (int i = 0; i < 8; ++i)
      open.devices[i] = i == 0 ? synth : kNoDevice;  // a packed record: no references
    engine.run();
    const std::uint32_t output = engine.reply<volta::protocol::OpenOutputCommand>().header.handle;
    const std::uint32_t handle = engine.open(song, output);
    engine.startSong(handle);
    render->run([&] { return engine.status().playing == 0; });
    engine.closeSequencer(handle);
    engine.simple(volta::protocol::kCloseOutput, output);
    render->finish();
    rendered += static_cast<double>(render->framesRendered()) / WavRenderer::kSampleRate;
  }
  std::filesystem::remove(path);
  state.counters["x_real_time"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
}
BENCHMARK(DemoSongThroughTheEngine)->Unit(benchmark::kMillisecond);

// Receives single notes and notes the time each arrived at the callback.
class Stopwatch {
 public:
  InputCallback callback() {
    return [this](const InputMessage&) {
      const auto now = std::chrono::steady_clock::now();
      std::lock_guard lock(mutex_);
      arrived_ = now;
      done_ = true;
      cv_.notify_one();
    };
  }
  // Sends and waits for the message; the latency in microseconds, negative on loss.
  double roundTrip(OutputDevice& output, std::uint32_t message) {
    std::unique_lock lock(mutex_);
    done_ = false;
    const auto sent = std::chrono::steady_clock::now();
    output.sendShort(message);
    if (!cv_.wait_for(lock, std::chrono::seconds(5), [this] { return done_; })) return -1;
    return std::chrono::duration<double, std::micro>(arrived_ - sent).count();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::chrono::steady_clock::time_point arrived_;
  bool done_ = false;
};

void JackSendToReceiveLatency(benchmark::State& state) {
  volta::platform::midi::test::JackServer server;
  if (!server.start()) {
    state.SkipWithError(("no JACK server: " + server.why()).c_str());
    for (auto _ : state) {
    }
    return;
  }
  Stopwatch stopwatch;
  const std::string portName = "latency-" + std::to_string(getpid());
  auto input = openVirtualInput(MidiSystem::Jack, portName, stopwatch.callback());
  std::uint32_t id = kNoDevice;
  const auto list = enumerateOutputDevices();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].name.ends_with(":" + portName)) id = static_cast<std::uint32_t>(i);
  }
  auto output = openOutputDevice(id, 0);
  if (!input || !output) {
    state.SkipWithError("the JACK ports did not open");
    for (auto _ : state) {
    }
    return;
  }
  std::vector<double> latencies;
  std::uint32_t note = 0;
  for (auto _ : state) {
    const double us = stopwatch.roundTrip(*output, 0x400090 | (note++ % 128) << 8);
    if (us < 0) {
      state.SkipWithError("a message was lost");
      break;
    }
    latencies.push_back(us);
  }
  if (latencies.empty()) return;
  std::sort(latencies.begin(), latencies.end());
  const double periodUs = 256.0 * 1e6 / 44100.0;
  const double mean = std::accumulate(latencies.begin(), latencies.end(), 0.0) / static_cast<double>(latencies.size());
  state.counters["period_us"] = periodUs;
  state.counters["mean_us"] = mean;
  state.counters["p99_us"] = latencies[latencies.size() * 99 / 100];
  state.counters["max_us"] = latencies.back();
  state.counters["mean_beyond_period_us"] = mean - periodUs;
  state.counters["max_beyond_period_us"] = latencies.back() - periodUs;
}
BENCHMARK(JackSendToReceiveLatency)->Iterations(400)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
