// The player core on the engine library loaded by name: scanning the titles and
// lengths of a thousand play-list entries, and loading and starting a song until
// its first note reaches the output.

#include <benchmark/benchmark.h>

#include "bench/support/first_note.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;

// A song of a few bars with a title, like the songs of a real list.
test::Bytes song(int index) {
  test::SmfTrack conductor;
  conductor.trackName(0, "Song " + std::to_string(index)).tempo(0, 400000 + index * 100).timeSignature(0, 4, 2);
  conductor.endOfTrack(0);
  test::SmfTrack notes;
  for (int i = 0; i < 64; ++i)
    notes.noteOn(i == 0 ? 0 : 48, i % 16, 40 + i % 40, 100).noteOff(48, i % 16, 40 + i % 40);
  notes.endOfTrack(0);
  return test::SmfWriter(1, 96).track(conductor).track(notes).build();
}

core::EngineBinding& binding() {
  static core::EngineBinding engine(core::kNativeLibrary, test::binDir());
  return engine;
}

// Mode 0: title and length at one opening; mode 1: the two scans one after the other.
void BM_ScanThousandEntries(benchmark::State& state) {
  test::TempDir dir;
  std::vector<core::MIDIFile> entries(1000);
  for (int i = 0; i < 1000; ++i) {
    entries[i].fileName = "/song" + std::to_string(i) + ".mid";
    test::writeFile(core::fullPath(dir.path().string(), entries[i]), song(i));
  }
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  for (auto _ : state) {
    for (auto& entry : entries) {
      entry.lengthMs = 0;
      const auto file = core::fullPath(dir.path().string(), entry);
      if (state.range(0) == 0) {
        core::scanEntry(binding(), file, entry);
      } else {
        core::scanEntryLength(binding(), file, entry);
        core::readEntryTitle(binding(), file, entry);
      }
    }
    benchmark::DoNotOptimize(entries.back().lengthMs);
  }
}
BENCHMARK(BM_ScanThousandEntries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAndStartUntilFirstNote(benchmark::State& state) {
  test::TempDir dir;
  const auto path = dir / "first.mid";
  test::writeFile(path, song(1));
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  bench::ClosedPortPlayer closed(binding(), dir.path());
  core::MIDIFile entry;
  entry.fileName = path.string();
  for (auto _ : state) {
    if (!bench::playUntilFirstNote(closed.player, path, entry)) return state.SkipWithError("the song did not load");
  }
}
BENCHMARK(BM_LoadAndStartUntilFirstNote)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
