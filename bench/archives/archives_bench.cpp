// Songs in LZH archives through libunlha32.so as the player loads it: listing an archive
// of 53 members, adding its songs to the list (each extracted for its title), and
// extracting its first song with its companions and playing it until its first note
// reaches the output.

#include <benchmark/benchmark.h>

#include "bench/support/first_note.h"
#include "player/core/lzh_archives.h"
#include "player/core/playlist/song_entry_reader.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;

constexpr std::size_t kMembers = 53;

// A song of a few thousand notes, as the songs of such archives are.
test::Bytes song(int index) {
  test::SmfTrack track;
  track.trackName(0, "Song " + std::to_string(index)).tempo(0, 500000);
  for (int i = 0; i < 2000; ++i)
    track.noteOn(i == 0 ? 0 : 12, i % 16, 40 + (i * 7 + index) % 40, 100)
        .noteOff(12, i % 16, 40 + (i * 7 + index) % 40);
  track.endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

// Songs with a script and a document each, then a few text files, in folders as collections keep them.
std::filesystem::path collection(const test::TempDir& dir) {
  std::vector<test::LzhMember> members;
  for (int i = 0; members.size() < kMembers; ++i) {
    const std::string stem = "DISK" + std::to_string(i / 10) + "/SONG" + std::to_string(i);
    members.push_back({stem + ".MID", song(i), "-lh5-"});
    const std::string script = "@MES(song " + std::to_string(i) + ")\n";
    members.push_back({stem + ".WRD", test::Bytes(script.begin(), script.end()), "-lh5-"});
    members.push_back({stem + ".TXT", test::Bytes(2000, 'x'), "-lh5-"});
  }
  members.erase(members.begin() + kMembers, members.end());
  const auto path = dir / "collection.lzh";
  test::writeFile(path, test::buildLzh(members));
  return path;
}

core::EngineBinding& binding() {
  static core::EngineBinding engine(core::kNativeLibrary, test::binDir());
  return engine;
}

void BM_ListFiftyThreeMembers(benchmark::State& state) {
  test::TempDir dir;
  const auto archive = collection(dir);
  core::LzhArchives archives(test::binDir(), dir / "out");
  if (!archives.available()) return state.SkipWithError("libunlha32.so did not load");
  for (auto _ : state) {
    const auto members = archives.memberNames(archive);
    if (members.size() != kMembers) return state.SkipWithError("members missing");
    benchmark::DoNotOptimize(members.data());
  }
}
BENCHMARK(BM_ListFiftyThreeMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

// The collection and its extraction folder, with the archive library and the engine loaded.
struct Extraction {
  Extraction() { std::filesystem::create_directory(dir / "VOLTALZH"); }
  // Empty when all is there.
  const char* missing() const {
    if (!archives.available()) return "libunlha32.so did not load";
    return binding().loaded() ? nullptr : "the engine library did not load";
  }
  test::TempDir dir;
  std::filesystem::path archive = collection(dir);
  core::LzhArchives archives{test::binDir(), dir / "VOLTALZH"};
};

void BM_AddTheArchivesSongsToTheList(benchmark::State& state) {
  Extraction x;
  if (const char* missing = x.missing()) return state.SkipWithError(missing);
  core::SongEntryReader reader(binding(), &x.archives);
  for (auto _ : state) {
    core::PlayList list;
    const core::OpenResult result = core::openName(list, x.archive.string(), {}, reader);
    if (result.added != (kMembers + 2) / 3) return state.SkipWithError("songs missing");
  }
}
BENCHMARK(BM_AddTheArchivesSongsToTheList)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every round extracts anew: the cache is emptied first.
void BM_ExtractAndStartFirstSongUntilItsFirstNote(benchmark::State& state) {
  Extraction x;
  if (const char* missing = x.missing()) return state.SkipWithError(missing);
  bench::ClosedPortPlayer closed(binding(), x.dir.path());
  closed.player.setExtractor(
      [&](const std::filesystem::path& file, const std::string& member) { return x.archives.extract(file, member); });
  core::MIDIFile entry;
  entry.fileName = x.archive.string();
  entry.archiveMember = "DISK0/SONG0.MID";
  for (auto _ : state) {
    x.archives.cleanUp();
    if (!bench::playUntilFirstNote(closed.player, x.archive, entry))
      return state.SkipWithError("the member did not load");
  }
}
BENCHMARK(BM_ExtractAndStartFirstSongUntilItsFirstNote)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
