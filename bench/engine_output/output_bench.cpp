// Throughput of the output's filter path: channel state, maps and emulations, and
// the send to a port that discards what it gets.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/midi_output.h"
#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"

namespace {

using volta::engine::MidiOutput;

struct NullBackend final : volta::platform::midi::OutputBackend {
  void enumerate(std::vector<volta::platform::midi::OutputDeviceEntry>& list) override {
    list.push_back({"Bench null", volta::platform::midi::DeviceKind::SoftwareSynth,
                    [](int) { return volta::platform::midi::openNullDevice(); }});
  }
};

MidiOutput* openNullOutput() {
  static const std::uint32_t id = [] {
    volta::platform::midi::registerOutputBackend(std::make_shared<NullBackend>());
    return volta::platform::midi::findOutputDevice("Bench null");
  }();
  const std::uint32_t devices[3] = {id, id, id};
  return MidiOutput::open(devices, 3);
}

// A song-like mix: notes on and off, controllers, programs and bends over 16 channels.
std::vector<std::uint32_t> songMessages() {
  std::vector<std::uint32_t> messages;
  for (int i = 0; i < 4096; ++i) {
    const int channel = i % 16, note = 36 + i % 48;
    switch (i % 8) {
      case 0:
        messages.push_back(0xC0 | channel | (i % 128) << 8);
        break;
      case 1:
        messages.push_back(0xB0 | channel | 7 << 8 | (i % 128) << 16);
        break;
      case 2:
        messages.push_back(0xE0 | channel | (i % 128) << 16);
        break;
      default:
        messages.push_back((i % 2 ? 0x90 : 0x80) | channel | note << 8 | 100 << 16);
        break;
    }
  }
  return messages;
}

void runFilterPath(benchmark::State& state, bool withMaps) {
  MidiOutput* output = openNullOutput();
  auto& settings = output->shared()->settings;
  if (withMaps) {
    // A full patch map whose entries never match: the worst case of the look-up.
    for (auto& entry : settings.patchMap)
      entry = {{0x7E, 0x7E, 0x7E, 0}, {0, 0, 0, 0}};
    settings.patchMapCount = 2048;
    settings.noteMapCount = 512;
    output->setTransposition(2);
    output->setMasterVolume(100);
  }
  const auto messages = songMessages();
  for (auto _ : state) {
    for (std::uint32_t m : messages)
      output->sendFiltered(0, m);
    output->clearSoundingNotes();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * messages.size()));
  MidiOutput::close(output);
}

void BM_FilterPath(benchmark::State& state) {
  runFilterPath(state, false);
}
void BM_FilterPathFullMaps(benchmark::State& state) {
  runFilterPath(state, true);
}

BENCHMARK(BM_FilterPath);
BENCHMARK(BM_FilterPathFullMaps);

}  // namespace

BENCHMARK_MAIN();
