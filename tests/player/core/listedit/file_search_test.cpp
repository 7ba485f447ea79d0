#include "player/core/listedit/file_search.h"

#include <gtest/gtest.h>

#include "engine/protocol/error_messages.h"
#include "tests/player/core/listedit/text_reader.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;
using testing::fileNames;
using testing::writeText;

class FileSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeText(top_ / "b.mid", "B");
    writeText(top_ / "A.rcp", "A");
    writeText(top_ / "notes.txt", "not a song");
    writeText(top_ / "z" / "c.mid", "C");
    writeText(top_ / "m" / "d.G36", "D");
    writeText(top_ / "m" / "deep" / "e.MID", "E");
    writeText(top_ / ".hidden" / "x.mid", "X");
  }
  std::string at(const std::string& relative) const { return (top_ / relative).string(); }

  test::TempDir dir_;
  fs::path top_ = dir_ / "top";
  testing::TextReader reader_;
  testing::RecordingProgress progress_;
  PlayList list_;
};

TEST_F(FileSearchTest, AFoldersSongsComeBeforeThoseOfItsSubFoldersEachInNameOrder) {
  const OpenResult result = searchFolder(list_, top_.string(), {}, reader_, &progress_);
  EXPECT_EQ(result.added, 5u);
  EXPECT_EQ(fileNames(list_.files),
            (std::vector<std::string>{at("A.rcp"), at("b.mid"), at("m/d.G36"), at("m/deep/e.MID"), at("z/c.mid")}));
  EXPECT_EQ(list_.files[0].title, "A");
  EXPECT_EQ(list_.order, (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
  // Each folder searched is shown; hidden ones are not searched.
  EXPECT_EQ(progress_.sources, (std::vector<std::string>{top_.string(), at("m"), at("m/deep"), at("z")}));
  EXPECT_EQ(progress_.songs.size(), 5u);
  EXPECT_TRUE(progress_.finished.empty());  // the caller finishes
}

TEST_F(FileSearchTest, ArchivesFoundAreListedByTheirSongMembersUnlessLeftOut) {
  writeText(top_ / "pack.LZH", "archive");
  writeText(top_ / "plain.lzh", "archive");
  reader_.archives[top_ / "pack.LZH"] = {"SONGS/ONE.MID", "SONGS/ONE.WRD", "README.TXT", "TWO.RCP"};
  reader_.archives[top_ / "plain.lzh"] = {"THREE.MID"};
  SearchOptions options;
  options.subFolders = false;
  searchFolder(list_, top_.string(), options, reader_);
  std::vector<std::string> members;
  for (const MIDIFile& entry : list_.files)
    members.push_back(entry.archiveMember);
  ASSERT_EQ(members, (std::vector<std::string>{"", "", "SONGS/ONE.MID", "TWO.RCP", "THREE.MID"}));
  EXPECT_EQ(list_.files[2].fileName, at("pack.LZH"));

  // "Only WRD" keeps the archive with a script among its members; "except LZH" drops both.
  EXPECT_TRUE(offersSong(top_ / "pack.LZH", {.onlyWrd = true}, reader_));
  EXPECT_FALSE(offersSong(top_ / "plain.lzh", {.onlyWrd = true}, reader_));
  EXPECT_FALSE(offersSong(top_ / "pack.LZH", {.exceptLzh = true}, reader_));
}

TEST_F(FileSearchTest, WithoutSubFoldersOnlyTheFoldersOwnSongs) {
  SearchOptions options;
  options.subFolders = false;
  searchFolder(list_, top_.string() + "/", options, reader_);
  EXPECT_EQ(fileNames(list_.files), (std::vector<std::string>{at("A.rcp"), at("b.mid")}));
}

TEST_F(FileSearchTest, UnreadableSongsAreReportedAndTheSearchGoesOn) {
  writeText(top_ / "a0.mid", "bad");
  const std::string message = std::string("a0.mid: ") + protocol::errorMessage(protocol::kErrNoHeader);
  searchFolder(list_, top_.string(), {}, reader_, &progress_);
  EXPECT_EQ(list_.files.size(), 5u);
  EXPECT_EQ(progress_.messages, "\n      " + message + "\n");
  PlayList alone;
  EXPECT_EQ(searchFolder(alone, top_.string(), {}, reader_).messages, std::vector<std::string>{message});
}

TEST_F(FileSearchTest, OnlyWrdSkipsSongsWithoutAScript) {
  writeText(top_ / "B.wrd", "");
  writeText(top_ / "m" / "deep" / "e.SRY", "");
  SearchOptions options;
  options.filter.onlyWrd = true;
  options.filter.exceptLzh = true;
  searchFolder(list_, top_.string(), options, reader_);
  EXPECT_EQ(fileNames(list_.files), (std::vector<std::string>{at("b.mid"), at("m/deep/e.MID")}));
  EXPECT_EQ(list_.files[0].wrdState, 2);
  // Songs left out are not even read.
  EXPECT_EQ(reader_.read.size(), 2u);
}

TEST_F(FileSearchTest, WaveFilesOnlyWhileWavePlayingIsOn) {
  writeText(top_ / "s.wav", "S");
  searchFolder(list_, top_.string(), {}, reader_);
  EXPECT_EQ(list_.files.size(), 5u);
  SearchOptions options;
  options.filter.waveEnabled = true;
  PlayList withWaves;
  searchFolder(withWaves, top_.string(), options, reader_);
  EXPECT_EQ(withWaves.files.size(), 6u);
  EXPECT_EQ(withWaves.files[2].fileName, at("s.wav"));
}

TEST_F(FileSearchTest, ArchivesAreNotOfferedWhenLeftOut) {
  SongFilter filter;
  filter.exceptLzh = true;
  EXPECT_FALSE(offersSong(top_ / "songs.LZH", filter, reader_));
  EXPECT_TRUE(offersSong(top_ / "b.mid", filter, reader_));
  EXPECT_FALSE(offersSong(top_ / "notes.txt", {}, reader_));
}

TEST_F(FileSearchTest, AFolderReachedAgainThroughALinkIsSearchedOnce) {
  fs::create_directory_symlink(top_, top_ / "m" / "back");
  fs::create_directory_symlink(top_ / "z", top_ / "y");
  searchFolder(list_, top_.string(), {}, reader_);
  EXPECT_EQ(list_.files.size(), 5u);
}

TEST_F(FileSearchTest, ARelativeListsSongsAreNamedBelowItsBaseFolder) {
  list_.baseFolder = top_.string();
  searchFolder(list_, "/m", {}, reader_);
  EXPECT_EQ(fileNames(list_.files), (std::vector<std::string>{"/m/d.G36", "/m/deep/e.MID"}));
  EXPECT_EQ(reader_.read.front(), top_ / "m" / "d.G36");
  PlayList top;
  top.baseFolder = top_.string();
  searchFolder(top, "/", {}, reader_);
  EXPECT_EQ(top.files.front().fileName, "/A.rcp");
}

TEST_F(FileSearchTest, AMissingFolderAddsNothing) {
  const OpenResult result = searchFolder(list_, (dir_ / "gone").string(), {}, reader_, &progress_);
  EXPECT_EQ(result.added, 0u);
  EXPECT_TRUE(list_.files.empty());
  EXPECT_TRUE(progress_.sources.empty());
}

TEST(FolderListing, FoldersApartAndNamesWithoutRegardToCase) {
  test::TempDir dir;
  for (const char* name : {"b.mid", "A.mid", "a.mid", "C.mid", ".x.mid"})
    testing::writeText(dir / name, "");
  fs::create_directories(dir / "B");
  fs::create_directories(dir / "a");
  const FolderListing listing = listFolder(dir.path());
  EXPECT_EQ(listing.folders, (std::vector<std::string>{"a", "B"}));
  EXPECT_EQ(listing.files, (std::vector<std::string>{"A.mid", "a.mid", "b.mid", "C.mid"}));
}

TEST(JoinName, OneSeparatorBetween) {
  EXPECT_EQ(joinName("/", "a.mid"), "/a.mid");
  EXPECT_EQ(joinName("/sub", "a.mid"), "/sub/a.mid");
  EXPECT_EQ(joinName("\\sub\\", "a.mid"), "\\sub\\a.mid");
}

}  // namespace
}  // namespace volta::core
