// The list editing dialog's file search over ten thousand songs in a tree of folders,
// each song read through the engine library as the program reads it (target: under
// 2 s), with and without "Only WRD"; and the files list of a folder of a thousand songs.

#include <benchmark/benchmark.h>

#include "player/core/engine_binding.h"
#include "player/core/listedit/file_search.h"
#include "player/core/listedit/folder_browser.h"
#include "player/core/playlist/song_entry_reader.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;
namespace fs = std::filesystem;

constexpr int kSongs = 10'000;
constexpr int kTopFolders = 10;
constexpr int kSubFolders = 10;  // in each top folder; 100 songs in each

test::Bytes songBytes(int i) {
  test::SmfTrack track;
  track.trackName(0, "Song number " + std::to_string(i)).tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60, 100).noteOff(96 * 8, 0, 60).endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

// top/folderA/partB/songN.mid, every tenth with a WRD script and a text file beside it.
struct SongTree {
  test::TempDir dir;
  fs::path top = dir / "top";

  SongTree() {
    for (int i = 0; i < kSongs; ++i) {
      const int folder = i % (kTopFolders * kSubFolders);
      const fs::path path =
          top / ("folder" + std::to_string(folder / kSubFolders)) / ("part" + std::to_string(folder % kSubFolders));
      if (i < kTopFolders * kSubFolders) fs::create_directories(path);
      const std::string stem = "song" + std::to_string(i);
      test::writeFile(path / (stem + ".mid"), songBytes(i));
      if (i % 10 == 0) {
        test::writeFile(path / (stem + ".WRD"), {});
        test::writeFile(path / (stem + ".txt"), {});
      }
    }
  }
};

SongTree& tree() {
  static SongTree shared;
  return shared;
}

core::EngineBinding& binding() {
  static core::EngineBinding engine(core::kNativeLibrary, test::binDir());
  return engine;
}

// Titles from the names alone: what the search itself costs, without reading songs.
class NameReader : public core::EntryReader {
 public:
  explicit NameReader(core::EngineBinding&) {}
  int readEntry(const fs::path& file, core::MIDIFile& entry) override {
    entry.title = file.stem().string();
    checkWrd(file, entry);
    return 0;
  }
  void checkWrd(const fs::path& file, core::MIDIFile& entry) override {
    entry.wrdState = companions_.present(file) ? 2 : 1;
  }

 private:
  core::WrdCompanions companions_;
};

template <typename Reader>
void search(benchmark::State& state, bool onlyWrd, std::size_t expected) {
  SongTree& songs = tree();
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  core::SearchOptions options;
  options.filter.onlyWrd = onlyWrd;
  for (auto _ : state) {
    // A reader of its own each time, as each dialog has: no folder is known yet.
    Reader reader(binding());
    core::PlayList list;
    const core::OpenResult result = core::searchFolder(list, songs.top.string(), options, reader);
    if (result.added != expected) return state.SkipWithError("the search did not find every song");
    benchmark::DoNotOptimize(list.files.back().title);
  }
  state.counters["songs"] = static_cast<double>(expected);
}

void BM_SearchTenThousandSongs(benchmark::State& state) {
  search<core::SongEntryReader>(state, false, kSongs);
}
BENCHMARK(BM_SearchTenThousandSongs)->Unit(benchmark::kMillisecond)->UseRealTime();

// As in the player with a song loaded: the engine's timer runs already, and reading a
// song does not start and stop it each time.
void BM_SearchTenThousandSongsWithASongLoaded(benchmark::State& state) {
  const auto loaded = core::SongHandle::open(binding(), nullptr, tree().top / "folder0" / "part0" / "song0.mid");
  if (!loaded.song) return state.SkipWithError("the song did not load");
  search<core::SongEntryReader>(state, false, kSongs);
}
BENCHMARK(BM_SearchTenThousandSongsWithASongLoaded)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchTenThousandSongsOnlyWrd(benchmark::State& state) {
  search<core::SongEntryReader>(state, true, kSongs / 10);
}
BENCHMARK(BM_SearchTenThousandSongsOnlyWrd)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchTenThousandNamesWithoutReading(benchmark::State& state) {
  search<NameReader>(state, false, kSongs);
}
BENCHMARK(BM_SearchTenThousandNamesWithoutReading)->Unit(benchmark::kMillisecond)->UseRealTime();

// The files list of one folder holding a thousand songs, half SMF and half RCP by name.
struct BigFolder {
  test::TempDir dir;
  BigFolder() {
    for (int i = 0; i < 1000; ++i)
      test::writeFile(dir / ("song" + std::to_string(i) + (i % 2 ? ".mid" : ".rcp")), {});
  }
};

void BM_FilesListOfAThousandSongs(benchmark::State& state) {
  static BigFolder folder;
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  core::SongEntryReader reader(binding());
  const core::FolderBrowser browser("", folder.dir.path().string(), {"/"});
  core::SongFilter filter;
  filter.onlyWrd = state.range(0) != 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(browser.items(filter, reader).size());
}
BENCHMARK(BM_FilesListOfAThousandSongs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
