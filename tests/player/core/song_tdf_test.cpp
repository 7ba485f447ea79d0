#include "player/core/song_tdf.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(SongTdf, ReadsModuleAndPortAssignment) {
  test::TempDir dir;
  writeText(dir / "song.tdf", "[MIDI]\r\nModuleName = \"SC-88PRO\" \r\n[Sequencer]\r\nPortAssignType=2\r\n");
  const auto values = readSongTdf(dir / "song.mid", {}, {"GM", 0}, 31);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->moduleName, "SC-88PRO");
  EXPECT_EQ(values->portAssignType, 2);
  EXPECT_FALSE(readSongTdf(dir / "other.mid", {}, {}, 31));
}

TEST(SongTdf, MissingKeysKeepTheEntrysValuesAndLongNamesAreCut) {
  test::TempDir dir;
  writeText(dir / "SONG.TDF", "[midi]\nmodulename=" + std::string(60, 'M') + "\n");
  const auto values = readSongTdf(dir / "SONG.RCP", {}, {"GM", 3}, 31);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->moduleName, std::string(31, 'M'));
  EXPECT_EQ(values->portAssignType, 3);
}

// The settings file beside a song may be a link planted by someone else: it is replaced,
// never written through, and no work file stays behind.
TEST(SongTdf, WritingReplacesALinkInsteadOfFollowingIt) {
  test::TempDir dir;
  writeText(dir / "victim.txt", "untouched");
  std::filesystem::create_symlink(dir / "victim.txt", dir / "song.tdf");
  ASSERT_TRUE(writeSongTdf(dir / "song.mid", {}, {"MU80", 1}));
  EXPECT_EQ(test::readText(dir / "victim.txt"), "untouched");
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "song.tdf"));
  EXPECT_EQ(readSongTdf(dir / "song.mid", {}, {}, 31)->moduleName, "MU80");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 2);
}

TEST(SongTdf, ArchiveMembersUseTheirOwnSection) {
  test::TempDir dir;
  const auto archive = dir / "pack.lzh";
  ASSERT_TRUE(writeSongTdf(archive, "A.MID", {"MU80", 1}));
  ASSERT_TRUE(writeSongTdf(archive, "B.MID", {"SC-55", 0}));
  ASSERT_TRUE(writeSongTdf(archive, "A.MID", {"MU90", 3}));
  const auto a = readSongTdf(archive, "a.mid", {}, 49);
  const auto b = readSongTdf(archive, "B.MID", {}, 49);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->moduleName, "MU90");
  EXPECT_EQ(a->portAssignType, 3);
  EXPECT_EQ(b->moduleName, "SC-55");
  EXPECT_EQ(test::readText(dir / "pack.TDF"),
            "[A.MID]\r\nModuleName=MU90\r\nPortAssignType=3\r\n[B.MID]\r\nModuleName=SC-55\r\nPortAssignType=0\r\n");
}

TEST(SongTdf, WritingKeepsOtherContent) {
  test::TempDir dir;
  writeText(dir / "song.TDF", "; note\r\n[MIDI]\r\nOther=1\r\nModuleName=GM\r\n[Extra]\r\nX=y\r\n");
  ASSERT_TRUE(writeSongTdf(dir / "song.mid", {}, {"SC-88", 2}));
  EXPECT_EQ(test::readText(dir / "song.TDF"),
            "; note\r\n[MIDI]\r\nOther=1\r\nModuleName=SC-88\r\n[Extra]\r\nX=y\r\n[Sequencer]\r\nPortAssignType=2\r\n");
}

}  // namespace
}  // namespace volta::core
