// Songs in LZH archives through libunlha32.so as the player loads it: listing an archive
// of 53 members, adding its songs to the list (each extracted for its title), and
// extracting its first song with its companions and playing it until its first note
// reaches the output.

#include <benchmark/benchmark.h>

#include <array>

#include "bench/support/first_note.h"
#include "platform/midi/output_device.h"
#include "player/core/builtin_definitions.h"
#include "player/core/lzh_archives.h"
#include "player/core/playlist/song_entry_reader.h"
#include "player/core/song_player.h"
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

void BM_AddTheArchivesSongsToTheList(benchmark::State& state) {
  test::TempDir dir;
  const auto archive = collection(dir);
  std::filesystem::create_directory(dir / "VOLTALZH");
  core::LzhArchives archives(test::binDir(), dir / "VOLTALZH");
  if (!archives.available()) return state.SkipWithError("libunlha32.so did not load");
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  core::SongEntryReader reader(binding(), &archives);
  for (auto _ : state) {
    core::PlayList list;
    const core::OpenResult result = core::openName(list, archive.string(), {}, reader);
    if (result.added != (kMembers + 2) / 3) return state.SkipWithError("songs missing");
  }
}
BENCHMARK(BM_AddTheArchivesSongsToTheList)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every round extracts anew: the cache is emptied first.
void BM_ExtractAndStartFirstSongUntilItsFirstNote(benchmark::State& state) {
  test::TempDir dir;
  const auto archive = collection(dir);
  std::filesystem::create_directory(dir / "VOLTALZH");
  core::LzhArchives archives(test::binDir(), dir / "VOLTALZH");
  if (!archives.available()) return state.SkipWithError("libunlha32.so did not load");
  if (!binding().loaded()) return state.SkipWithError("the engine library did not load");
  core::TINICritical store;
  core::loadBuiltInDefinitions(store);
  // A closed port still runs the filter, which counts the notes it passes.
  const std::array<std::uint32_t, 1> devices{platform::midi::kNoDevice};
  core::SongPlayer player(binding(), devices, store);
  core::SongPlayerSettings settings;
  settings.tempFolder = dir.path();
  player.configure(settings);
  player.setExtractor(
      [&](const std::filesystem::path& file, const std::string& member) { return archives.extract(file, member); });
  core::MIDIFile entry;
  entry.fileName = archive.string();
  entry.archiveMember = "DISK0/SONG0.MID";
  for (auto _ : state) {
    archives.cleanUp();
    if (!bench::playUntilFirstNote(player, archive, entry)) return state.SkipWithError("the member did not load");
  }
}
BENCHMARK(BM_ExtractAndStartFirstSongUntilItsFirstNote)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
