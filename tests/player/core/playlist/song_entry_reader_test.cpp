#include "player/core/playlist/song_entry_reader.h"

#include <gtest/gtest.h>

#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"
#include "player/core/playlist/list_files.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

test::Bytes songTitled(const std::string& title) {
  test::SmfTrack track;
  if (!title.empty()) track.trackName(0, title);
  track.tempo(0, 500000).noteOn(0, 0, 60, 100).noteOff(96, 0, 60).endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

// Bound once and kept, as the program keeps it: unloading the engine would also unload
// the device libraries it pulls in, whose start-up allocations then read as leaks.
EngineBinding& binding() {
  static EngineBinding* const kept = new EngineBinding(kNativeLibrary, test::binDir());
  return *kept;
}

class SongEntryReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(binding().loaded()); }
  MIDIFile read(const std::string& name, int expectedError = 0) {
    MIDIFile entry;
    entry.fileName = "/" + name;
    EXPECT_EQ(reader_.readEntry(fullPath(dir_.path().string(), entry), entry), expectedError);
    return entry;
  }

  test::TempDir dir_;
  SongEntryReader reader_{binding()};
};

TEST_F(SongEntryReaderTest, TitlesComeFromTheSongOrItsStoredName) {
  test::writeFile(dir_ / "named.mid", songTitled("\x8B\xC8\x96\xBC"));
  test::writeFile(dir_ / "plain.mid", songTitled(""));
  EXPECT_EQ(read("named.mid").title, "\x8B\xC8\x96\xBC");
  EXPECT_EQ(read("plain.mid").title, "plain.mid");  // the name without its folder
  // An XF marker text is no title.
  test::writeFile(dir_ / "marked.mid", songTitled("XFhd:1999/01/01:JP"));
  EXPECT_EQ(read("marked.mid").title, "marked.mid");
  read("absent.mid", protocol::kErrOpenFile);
  test::writeFile(dir_ / "broken.mid", {'M', 'T'});
  read("broken.mid", protocol::kErrNoHeader);
}

TEST_F(SongEntryReaderTest, AScriptBesideTheSongIsFoundWhateverItsCase) {
  test::writeFile(dir_ / "song.mid", songTitled("x"));
  EXPECT_EQ(read("song.mid").wrdState, 1);
  // The folder is listed again once it changed.
  test::writeFile(dir_ / "SONG.Wrd", {});
  EXPECT_EQ(read("song.mid").wrdState, 2);
  fs::remove(dir_ / "SONG.Wrd");
  test::writeFile(dir_ / "song.dv", {});
  EXPECT_EQ(read("song.mid").wrdState, 2);
  fs::remove(dir_ / "song.dv");
  test::writeFile(dir_ / "Song.SRY", {});
  EXPECT_EQ(read("song.mid").wrdState, 2);
  fs::remove(dir_ / "Song.SRY");
  test::writeFile(dir_ / "song.wrd.bak", {});
  EXPECT_EQ(read("song.mid").wrdState, 1);
}

TEST_F(SongEntryReaderTest, ArchiveMembersKeepTheirStoredScriptState) {
  MIDIFile entry;
  entry.fileName = "/pack.lzh";
  entry.archiveMember = "IN.MID";
  entry.wrdState = 2;
  reader_.checkWrd(dir_ / "pack.lzh", entry);
  EXPECT_EQ(entry.wrdState, 2);
}

TEST(WrdCompanions, SongsInAFolderThatCannotBeListedHaveNone) {
  WrdCompanions companions;
  EXPECT_FALSE(companions.present("/nonexistent-folder/x/song.mid"));
}

// Songs in archives through the archive library beside the engine: listed, extracted to
// be read, and named in the list by their decoded member names.
class ArchiveEntryTest : public SongEntryReaderTest {
 protected:
  void SetUp() override {
    SongEntryReaderTest::SetUp();
    ASSERT_TRUE(archives_.available());
    fs::create_directory(dir_ / "VOLTALZH");
  }
  OpenResult open(const std::vector<test::LzhMember>& members) {
    test::writeFile(dir_ / "pack.lzh", test::buildLzh(members));
    return openName(list_, (dir_ / "pack.lzh").string(), {}, archiveReader_);
  }

  LzhArchives archives_{test::binDir(), dir_ / "VOLTALZH"};
  SongEntryReader archiveReader_{binding(), &archives_};
  PlayList list_;
};

TEST_F(ArchiveEntryTest, AnArchiveHoldingASongAndATextAddsOneEntry) {
  const OpenResult result = open({{"SONG.MID", songTitled("In the pack"), "-lh5-"}, {"SONG.TXT", {'d'}}});
  EXPECT_TRUE(result.messages.empty());
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.entryAt(0).title, "In the pack");
  EXPECT_EQ(list_.entryAt(0).archiveMember, "SONG.MID");
  EXPECT_EQ(lzhColumn(list_.entryAt(0)), "LZH");
}

TEST_F(ArchiveEntryTest, ShiftJisMemberNamesAreShownDecodedAndTitleUntitledSongs) {
  open({{"\x83\x5C\x83\x93\x83\x4F.MID", songTitled(""), "-lh0-", 0}});
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(fileColumn(list_.entryAt(0)), "ソング.MID");              // file names are UTF-8
  EXPECT_EQ(list_.entryAt(0).title, "\x83\x5C\x83\x93\x83\x4F.MID");  // titles are CP932
}

TEST_F(ArchiveEntryTest, RefusedAndBrokenMembersAreReportedByName) {
  const OpenResult result =
      open({{"../UP.MID", songTitled("x")}, {"BAD.MID", {'M', 'T'}}, {"OK.MID", songTitled("ok")}});
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(list_.entryAt(0).title, "ok");
  EXPECT_EQ(result.messages,
            (std::vector<std::string>{"../UP.MID: refused: its path leaves the extraction folder",
                                      std::string("BAD.MID: ") + protocol::errorMessage(protocol::kErrNoHeader)}));
  EXPECT_FALSE(fs::exists(dir_ / "UP.MID"));
}

// A library of that name without the entry points (the converter library stands in)
// makes every call fail quietly.
TEST(ArchivesWithoutTheLibrary, AddNothingAndTheirMembersCannotBeRead) {
  test::TempDir empty;
  fs::create_symlink(test::binDir() / "libmorph.so", empty / "libunlha32.so");
  LzhArchives archives(empty.path(), empty.path());
  SongEntryReader reader(binding(), &archives);
  EXPECT_TRUE(reader.archiveMembers(empty / "x.lzh").empty());
  MIDIFile entry;
  entry.fileName = (empty / "x.lzh").string();
  entry.archiveMember = "A.MID";
  EXPECT_EQ(reader.readEntry(entry.fileName, entry), protocol::kErrOpenFile);
  EXPECT_EQ(reader.lastProblem(), "the LZH archive library is missing");
}

}  // namespace
}  // namespace volta::core
