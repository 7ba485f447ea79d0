// The engine binding against the real engine library, loaded by name.

#include "player/core/engine_binding.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/midi/output_device.h"
#include "tests/support/rcp_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

using protocol::kErrOpenFile;
using protocol::kErrUnknownFile;

TEST(SongFileType, FollowsTheExtensionWhateverItsCase) {
  EXPECT_EQ(songFileType("a.mid"), 1);
  EXPECT_EQ(songFileType("A.SMF"), 1);
  EXPECT_EQ(songFileType("b.Mff"), 1);
  EXPECT_EQ(songFileType("c.rmi"), 1);
  EXPECT_EQ(songFileType("d.RCP"), 2);
  EXPECT_EQ(songFileType("e.r36"), 2);
  EXPECT_EQ(songFileType("f.g18"), 6);
  EXPECT_EQ(songFileType("g.G36"), 6);
  EXPECT_EQ(songFileType("song.mid.smfk"), 1);
  EXPECT_EQ(songFileType("SONG.RCP.SmFk"), 1);
  EXPECT_EQ(songFileType("karaoke.kar"), 1);
  EXPECT_EQ(songFileType("readme.txt"), 0);
  EXPECT_EQ(songFileType("id"), 0);
  EXPECT_EQ(songFileType(""), 0);
}

TEST(SongFileType, AnRcpOrG36HeaderDecidesTheFamilyWhateverTheName) {
  const auto g36 = test::RcpWriter(true).build();
  const auto rcp = test::RcpWriter(false).build();
  const auto text = [](const std::vector<std::uint8_t>& bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  EXPECT_EQ(songFileType(songFileType("named.rcp"), text(g36)), 6);
  EXPECT_EQ(songFileType(songFileType("named.g36"), text(rcp)), 2);
  EXPECT_EQ(songFileType(songFileType("named.rcp"), "no header"), 2);
  EXPECT_EQ(songFileType(songFileType("named.mid"), text(g36)), 1);
}

// The bridge's own choice is tested with the bridge (tests/bridge95).
TEST(EngineLibraryChoice, TwoTypesNameALibraryAndNoOtherLoadsOne) {
  EXPECT_EQ(engineLibraryName(kNativeLibrary), "libvoltant.so");
  EXPECT_EQ(engineLibraryName(kBridgeLibrary), "libvolta95.so");
  EXPECT_TRUE(engineLibraryName(2).empty());
  EXPECT_FALSE(EngineBinding(7, test::binDir()).loaded());
}

TEST(EngineLibraryChoice, BindsAndPassesTheVersionAndBusyChecks) {
  EngineBinding binding(kNativeLibrary, test::binDir());
  ASSERT_TRUE(binding.loaded());
  EXPECT_TRUE(binding.bound());
  EXPECT_TRUE(binding.versionMatches());
  EXPECT_FALSE(binding.busy());
  std::string message;
  EXPECT_NE(chooseEngine(test::binDir(), {}, message), nullptr);
  EXPECT_TRUE(message.empty());
}

TEST(EngineLibraryChoice, AMissingLibraryGivesTheInitialisationMessage) {
  test::TempDir empty;
  std::string message;
  EXPECT_EQ(chooseEngine(empty.path(), {}, message), nullptr);
  EXPECT_EQ(message, "VOLTANT.DLLの初期化に失敗。");
}

TEST(EngineLibraryChoice, ALibraryWithoutTheBlockExportCountsAsNotLoaded) {
  // Any other shared library under the engine's name.
  test::TempDir dir;
  std::filesystem::copy_file(test::binDir() / "libmorph.so", dir / "libvoltant.so");
  EngineBinding binding(kNativeLibrary, dir.path());
  EXPECT_FALSE(binding.loaded());
  EXPECT_FALSE(binding.versionMatches());
  std::string message;
  EXPECT_EQ(chooseEngine(dir.path(), {}, message), nullptr);
  EXPECT_EQ(message, "VOLTANT.DLLの初期化に失敗。");
}

class BoundEngine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(binding_.loaded()); }

  std::filesystem::path writeSong(const std::string& name, const test::Bytes& bytes) {
    const auto path = dir_ / name;
    test::writeFile(path, bytes);
    return path;
  }
  static test::Bytes twoBarSong() {
    test::SmfTrack track;
    track.trackName(0, "Binding test").text(0, 0x01, "A comment").tempo(0, 500000).timeSignature(0, 4, 2);
    track.noteOn(0, 0, 60, 100).noteOff(768, 0, 60).endOfTrack(0);
    return test::SmfWriter(0, 96).track(track).build();
  }

  test::TempDir dir_;
  EngineBinding binding_{kNativeLibrary, test::binDir()};
};

TEST_F(BoundEngine, OpensASongWithItsTitleCommentAndLength) {
  auto opening = SongHandle::open(binding_, nullptr, writeSong("song.mid", twoBarSong()));
  ASSERT_NE(opening.song, nullptr);
  EXPECT_EQ(opening.error, 0);
  const auto titles = opening.song->titles();
  EXPECT_TRUE(titles.ok);
  EXPECT_EQ(titles.title, "Binding test");
  EXPECT_TRUE(titles.comment.empty());  // only RCP songs carry a comment
  const auto length = opening.song->scanLength();
  EXPECT_EQ(length.error, 0);
  EXPECT_NEAR(length.totalTime / 100, 4000, 10);  // eight beats at 120 per minute
  EXPECT_EQ(length.measures, 2);
  EXPECT_EQ(opening.song->playControl(), &opening.song->status()->playControl);
}

TEST_F(BoundEngine, AnSmfkNameOpensAsAStandardMidiFile) {
  auto opening = SongHandle::open(binding_, nullptr, writeSong("song.rcp.SMFK", twoBarSong()));
  ASSERT_NE(opening.song, nullptr);
  EXPECT_TRUE(opening.song->titles().ok);
}

TEST_F(BoundEngine, UnknownAndMissingFilesGiveThePlayersOwnErrors) {
  auto unknown = SongHandle::open(binding_, nullptr, writeSong("song.txt", twoBarSong()));
  EXPECT_EQ(unknown.song, nullptr);
  EXPECT_EQ(unknown.error, kErrUnknownFile);
  auto missing = SongHandle::open(binding_, nullptr, dir_ / "absent.mid");
  EXPECT_EQ(missing.song, nullptr);
  EXPECT_EQ(missing.error, kErrOpenFile);
  auto folder = SongHandle::open(binding_, nullptr, dir_ / ".");
  EXPECT_EQ(folder.error, kErrUnknownFile);
}

TEST_F(BoundEngine, RealKaraokeFilesOpenAsStandardMidiFiles) {
  const auto dir = test::corpusDir("smf");
  if (dir.empty()) GTEST_SKIP() << "no SMF corpus";
  int opened = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".kar") continue;
    auto opening = SongHandle::open(binding_, nullptr, entry.path());
    ASSERT_NE(opening.song, nullptr) << entry.path();
    EXPECT_TRUE(opening.song->titles().ok) << entry.path();
    ++opened;
  }
  if (opened == 0) GTEST_SKIP() << "no .kar file in the corpus";
}

TEST_F(BoundEngine, ABrokenSongReportsTheEnginesError) {
  auto opening = SongHandle::open(binding_, nullptr, writeSong("bad.mid", {'x', 'y', 'z'}));
  ASSERT_NE(opening.song, nullptr);
  const auto titles = opening.song->titles();
  EXPECT_FALSE(titles.ok);
  EXPECT_EQ(titles.error, protocol::kErrNoHeader);
}

TEST_F(BoundEngine, OutputCommandsReachTheDeviceInOrder) {
  const auto trace = dir_ / "trace.txt";
  const std::array<std::uint32_t, 1> devices{test::traceDeviceFor(trace)};
  {
    auto output = OutputHandle::open(binding_, devices);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->status()->portOpen[0], 1);
    EXPECT_EQ(output->status()->portOpen[1], 0);
    const std::array<std::uint8_t, 3> bytes{0xF0, 0x7E, 0xF7};
    output->sendExclusive(0, bytes);
    output->sendRaw(0, 0x7F3C90);
    output->flush();
    output->sendFiltered(0, 0x003C80);
  }
  const auto lines = test::readTrace(trace);
  const std::size_t first = test::findLine(lines, "F0 7E F7");  // after the engine's own welcome
  ASSERT_LT(first + 2, lines.size());
  EXPECT_EQ(lines[first + 1].bytes, "90 3C 7F");
  EXPECT_EQ(lines[first + 2].bytes, "80 3C 00");
}

}  // namespace
}  // namespace volta::core
