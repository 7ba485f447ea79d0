#include "player/core/playlist/song_entry_reader.h"

#include <gtest/gtest.h>

#include "engine/protocol/records.h"
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

}  // namespace
}  // namespace volta::core
