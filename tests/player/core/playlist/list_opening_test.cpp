#include "player/core/playlist/list_opening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"
#include "player/core/playlist/list_files.h"
#include "tests/player/core/playlist/recording_progress.h"
#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

// Reads titles from a table; files missing from it cannot be read.
class FakeReader : public EntryReader {
 public:
  std::map<fs::path, std::string> titles;
  std::map<fs::path, std::vector<std::string>> archives;  // members by archive
  std::vector<fs::path> read, checked;
  std::string problem;
  int readEntry(const fs::path& file, MIDIFile& entry) override {
    read.push_back(file);
    const auto found = titles.find(entry.archiveMember.empty() ? file : file / entry.archiveMember);
    if (found == titles.end()) return protocol::kErrOpenFile;
    entry.title = found->second;
    if (entry.archiveMember.empty()) entry.wrdState = 1;  // a member's state comes from its archive
    return 0;
  }
  void checkWrd(const fs::path& file, MIDIFile& entry) override {
    checked.push_back(file);
    entry.wrdState = 2;
  }
  std::vector<std::string> archiveMembers(const fs::path& archive) override {
    const auto found = archives.find(archive);
    return found == archives.end() ? std::vector<std::string>() : found->second;
  }
  std::string lastProblem() const override { return problem; }
};

class ListOpeningTest : public ::testing::Test {
 protected:
  std::string touch(const std::string& relative, const std::string& title = "t") {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    test::writeFile(path, {});
    reader_.titles[path] = title;
    return path.string();
  }
  void writeText(const std::string& relative, const std::string& text) {
    test::writeFile(dir_ / relative, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& entry : list_.files)
      out.push_back(entry.fileName);
    return out;
  }

  test::TempDir dir_;
  std::string folder_ = dir_.path().string();
  FakeReader reader_;
  testing::RecordingProgress progress_;
  PlayList list_;
};

TEST_F(ListOpeningTest, OneSongWithItsModule) {
  const auto song = touch("a.mid", "Song A");
  OpenOptions options;
  options.module = "SC-55";
  const OpenResult result = openName(list_, song, options, reader_, &progress_);
  EXPECT_EQ(result.added, 1u);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.entryAt(0).fileName, song);
  EXPECT_EQ(list_.entryAt(0).title, "Song A");
  EXPECT_EQ(list_.entryAt(0).module, "SC-55");
  EXPECT_EQ(progress_.songs, std::vector<std::string>{song});
  EXPECT_EQ(progress_.finished, "終了しました");
}

TEST_F(ListOpeningTest, AnUnreadableSongIsNotAddedAndItsMessageIsReported) {
  // Named by its file, without the folder.
  const std::string message = std::string("gone.mid: ") + protocol::errorMessage(protocol::kErrOpenFile);
  openName(list_, folder_ + "/gone.mid", {}, reader_, &progress_);
  EXPECT_TRUE(list_.empty());
  EXPECT_EQ(progress_.messages, "\n      " + message + "\n");
  const OpenResult alone = openName(list_, folder_ + "/gone.mid", {}, reader_);
  EXPECT_EQ(alone.messages, std::vector<std::string>{message});
}

TEST_F(ListOpeningTest, AFolderAddsItsSongsByExtension) {
  touch("songs/a.MID");
  touch("songs/b.rcp");
  touch("songs/c.wav");
  touch("songs/notes.txt");
  touch("songs/sub/d.mid");
  touch("songs/folder.mid/f.mid");
  touch("songs/e.R36");
  touch("songs/k.kar");
  openName(list_, folder_ + "/songs/", {}, reader_, &progress_);
  auto added = names();
  std::sort(added.begin(), added.end());
  EXPECT_EQ(added, (std::vector<std::string>{folder_ + "/songs/a.MID", folder_ + "/songs/b.rcp",
                                             folder_ + "/songs/e.R36", folder_ + "/songs/k.kar"}));
  EXPECT_EQ(progress_.sources, std::vector<std::string>{folder_ + "/songs/"});
  EXPECT_EQ(reader_.read.size(), 4u);  // neither the text file nor the folder named like a song

  // Wave files while wave playing is on; a folder named without its separator gets one.
  list_.clear();
  OpenOptions wave;
  wave.waveEnabled = true;
  openName(list_, folder_ + "/songs", wave, reader_);
  ASSERT_EQ(list_.size(), 5u);
  EXPECT_TRUE(std::any_of(list_.files.begin(), list_.files.end(),
                          [&](const MIDIFile& entry) { return entry.fileName == folder_ + "/songs/c.wav"; }));
}

TEST_F(ListOpeningTest, AWrdScriptOpensItsSongInTheOrderOfExtensions) {
  touch("s.mid", "the MIDI song");
  const auto rcp = touch("S.RCP", "the RCP song");
  openName(list_, folder_ + "/s.wrd", {}, reader_);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.entryAt(0).fileName, rcp);
  list_.clear();
  openName(list_, folder_ + "/s.dv", {}, reader_);
  EXPECT_EQ(list_.entryAt(0).title, "the RCP song");

  list_.clear();
  const OpenResult none = openName(list_, folder_ + "/alone.WRD", {}, reader_);
  EXPECT_TRUE(list_.empty());
  EXPECT_EQ(none.messages, std::vector<std::string>{"MIDIファイルがありません"});
}

// The songs of an archive become entries of the archive's name and their member; a
// member's script is looked for among the archive's members, beside it.
TEST_F(ListOpeningTest, AnArchiveAddsItsSongMembersWithTheirScripts) {
  const fs::path archive = dir_ / "pack.LZH";
  reader_.archives[archive] = {"SONG.MID", "SONG.WRD", "README.TXT", "SUB/B.RCP", "B.WRD", "SUB/voice.wav"};
  reader_.titles[archive / "SONG.MID"] = "Song";
  reader_.titles[archive / "SUB/B.RCP"] = "B";
  OpenOptions options;
  options.module = "MU80";
  options.waveEnabled = true;
  const OpenResult result = openName(list_, archive.string(), options, reader_, &progress_);
  EXPECT_EQ(result.added, 2u);
  ASSERT_EQ(list_.size(), 2u);
  EXPECT_EQ(list_.entryAt(0).fileName, archive.string());
  EXPECT_EQ(list_.entryAt(0).archiveMember, "SONG.MID");
  EXPECT_EQ(list_.entryAt(0).title, "Song");
  EXPECT_EQ(list_.entryAt(0).module, "MU80");
  EXPECT_EQ(list_.entryAt(0).wrdState, 2);
  EXPECT_EQ(list_.entryAt(1).archiveMember, "SUB/B.RCP");
  EXPECT_EQ(list_.entryAt(1).wrdState, 1);  // B.WRD lies in another folder of the archive
  EXPECT_EQ(progress_.sources, std::vector<std::string>{archive.string()});
  EXPECT_EQ(progress_.songs,
            (std::vector<std::string>{archive.string() + " [SONG.MID]", archive.string() + " [SUB/B.RCP]"}));
}

TEST_F(ListOpeningTest, AnUnreadableMemberIsReportedWithTheReadersWords) {
  const fs::path archive = dir_ / "pack.lzh";
  reader_.archives[archive] = {"../EVIL.MID", "GOOD.MID"};
  reader_.titles[archive / "GOOD.MID"] = "Good";
  reader_.problem = "refused: its path leaves the folder";
  const OpenResult result = openName(list_, archive.string(), {}, reader_);
  EXPECT_EQ(result.added, 1u);
  EXPECT_EQ(result.messages, std::vector<std::string>{"../EVIL.MID: " + reader_.problem});
}

TEST_F(ListOpeningTest, AFolderExpandsTheArchivesInIt) {
  touch("songs/a.mid", "A");
  touch("songs/pack.lzh");
  reader_.archives[dir_ / "songs/pack.lzh"] = {"IN.MID"};
  reader_.titles[dir_ / "songs/pack.lzh" / "IN.MID"] = "In";
  openName(list_, folder_ + "/songs", {}, reader_);
  std::vector<std::string> titles;
  for (const auto& entry : list_.files)
    titles.push_back(entry.title);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"A", "In"}));
}

TEST_F(ListOpeningTest, AnArchiveThatCannotBeReadAddsNothingAndSaysNothing) {
  touch("broken.lzh");
  const OpenResult result = openName(list_, folder_ + "/broken.lzh", {}, reader_);
  EXPECT_TRUE(list_.empty());
  EXPECT_TRUE(result.messages.empty());
}

TEST_F(ListOpeningTest, ATorListResolvesItsNamesAgainstItsFolder) {
  touch("lists/sub/a.mid");
  writeText("lists/mine.TOR", "#! /usr/local/bin/volta\r\n\\sub\\a.mid\r\nA\r\n0\r\n0\r\n\r\n1\r\n\r\n0\r\n0\r\n@\r\n");
  const OpenResult result = openName(list_, folder_ + "/lists/mine.TOR", {}, reader_, &progress_);
  EXPECT_TRUE(result.listLoaded);
  EXPECT_EQ(list_.baseFolder, folder_ + "/lists");
  EXPECT_EQ(list_.listFileName, folder_ + "/lists/mine.TOR");
  EXPECT_TRUE(list_.listNamed);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.fullPathAt(0), dir_ / "lists/sub/a.mid");
  // Entries of a list are not read again, only checked for their WRD script.
  EXPECT_TRUE(reader_.read.empty());
  EXPECT_EQ(reader_.checked, std::vector<fs::path>{dir_ / "lists/sub/a.mid"});
  EXPECT_EQ(list_.entryAt(0).wrdState, 2);
}

TEST_F(ListOpeningTest, SavingAndLoadingKeepTheOrderOfAdding) {
  for (const char* name : {"c.mid", "a.mid", "b.mid"})
    openName(list_, touch(name, name), {}, reader_);
  list_.applyOrder(kOrderFileName, 0, 0);
  ASSERT_TRUE(saveListFile(dir_ / "keep.TO2", writeFormatA(list_.files, false)));
  PlayList loaded;
  loadListFile(loaded, folder_ + "/keep.TO2", {}, reader_);
  EXPECT_TRUE(loaded.baseFolder.empty());
  EXPECT_EQ(loaded.files.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(loaded.files[i].fileName, list_.files[i].fileName);
  loaded.applyOrder(kOrderFileName, 0, 0);
  EXPECT_EQ(loaded.entryAt(0).title, "a.mid");
}

TEST_F(ListOpeningTest, AMypListReadsItsSongs) {
  const auto a = touch("a.mid", "A");
  touch("b.mid", "B");
  writeText("list.myp", a + " /M:MU80\n" + folder_ + "/missing.mid\n\"" + folder_ + "/b.mid\"\n");
  const OpenResult result = openName(list_, folder_ + "/list.myp", {}, reader_, &progress_);
  EXPECT_TRUE(result.listLoaded);
  EXPECT_FALSE(list_.listNamed);
  EXPECT_TRUE(list_.baseFolder.empty());
  ASSERT_EQ(list_.size(), 2u);
  EXPECT_EQ(list_.entryAt(0).module, "MU80");
  EXPECT_EQ(list_.entryAt(1).title, "B");
  EXPECT_NE(progress_.messages.find(protocol::errorMessage(protocol::kErrOpenFile)), std::string::npos);
}

TEST_F(ListOpeningTest, AnUnreadableListLeavesTheListEmptyAndUnnamed) {
  writeText("bad.TO2", "no header here\n/a.mid\nA\n@\n");
  list_.append(MIDIFile{});
  list_.listNamed = true;
  const OpenResult result = openName(list_, folder_ + "/bad.TO2", {}, reader_);
  EXPECT_FALSE(result.listLoaded);
  EXPECT_TRUE(list_.empty());
  EXPECT_FALSE(list_.listNamed);
  EXPECT_EQ(result.messages, std::vector<std::string>{folder_ + "/bad.TO2の読み出しに失敗しました。"});
  OpenOptions quiet;
  quiet.reportErrors = false;
  EXPECT_TRUE(openName(list_, folder_ + "/absent.TOR", quiet, reader_).messages.empty());
}

}  // namespace
}  // namespace volta::core
