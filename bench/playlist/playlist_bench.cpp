// The play list at ten thousand entries: opening a .TO2 list as the program does
// (the entries' WRD companions checked, the songs not read), re-ordering it, and
// saving it.

#include <benchmark/benchmark.h>

#include "player/core/playlist/list_files.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/song_entry_reader.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;

constexpr int kEntries = 10'000;
constexpr int kFolders = 10;

// Ten folders of songs, every tenth with a WRD script, and the .TO2 list naming them.
struct ListFixture {
  test::TempDir dir;
  std::string listName = (dir / "big.TO2").string();
  core::PlayList list;

  ListFixture() {
    for (int i = 0; i < kEntries; ++i) {
      const auto folder = dir / ("folder" + std::to_string(i % kFolders));
      std::filesystem::create_directories(folder);
      const std::string stem = "song" + std::to_string(i);
      test::writeFile(folder / (stem + ".mid"), {});
      if (i % 10 == 0) test::writeFile(folder / (stem + ".WRD"), {});
      core::MIDIFile entry;
      entry.fileName = (folder / (stem + ".mid")).string();
      entry.title = "Song title number " + std::to_string(kEntries - i);
      entry.lengthMs = 180'000u + static_cast<std::uint32_t>(i);
      entry.measures = 96;
      list.append(entry);
    }
    core::saveListFile(listName, core::writeFormatA(list.files, false));
  }
};

ListFixture& fixture() {
  static ListFixture shared;
  return shared;
}

core::EngineBinding& binding() {
  static core::EngineBinding engine(core::kNativeLibrary, test::binDir());
  return engine;
}

void BM_OpenTo2OfTenThousandEntries(benchmark::State& state) {
  ListFixture& data = fixture();
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  for (auto _ : state) {
    // A reader of its own each time: no folder is known yet, as at the program's start.
    core::SongEntryReader reader(binding());
    core::PlayList list;
    const auto result = core::loadListFile(list, data.listName, {}, reader);
    list.applyOrder(core::kOrderAdded, 0, 0);
    if (result.added != kEntries) return state.SkipWithError("the list did not read whole");
    benchmark::DoNotOptimize(list.files.back().wrdState);
  }
}
BENCHMARK(BM_OpenTo2OfTenThousandEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyOrderToTenThousandEntries(benchmark::State& state) {
  core::PlayList list = fixture().list;
  for (auto _ : state)
    benchmark::DoNotOptimize(list.applyOrder(static_cast<int>(state.range(0)), 5000, 1));
}
BENCHMARK(BM_ApplyOrderToTenThousandEntries)
    ->Arg(core::kOrderRandom)
    ->Arg(core::kOrderFileName)
    ->Arg(core::kOrderTitleReverse)
    ->Unit(benchmark::kMillisecond);

// Songs without titles of their own all sort alike: the list's quicksort at its slowest.
void BM_SortTenThousandEqualTitles(benchmark::State& state) {
  core::PlayList list = fixture().list;
  for (auto& entry : list.files)
    entry.title = "Untitled";
  for (auto _ : state)
    benchmark::DoNotOptimize(list.applyOrder(core::kOrderTitle, 0, 1));
}
BENCHMARK(BM_SortTenThousandEqualTitles)->Unit(benchmark::kMillisecond);

void BM_SaveTenThousandEntries(benchmark::State& state) {
  ListFixture& data = fixture();
  const auto target = data.dir / "saved.TO2";
  for (auto _ : state) {
    if (!core::saveListFile(target, core::writeFormatA(data.list.files, false)))
      return state.SkipWithError("the list was not saved");
  }
}
BENCHMARK(BM_SaveTenThousandEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
