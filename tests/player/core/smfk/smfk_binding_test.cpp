#include <gtest/gtest.h>
#include <sys/stat.h>

#include "player/core/smfk/smfk_library.h"
#include "player/core/smfk/song_conversion.h"
#include "tests/player/core/smfk/smfk_messages.h"
#include "tests/support/rcp_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta::core::smfk {
namespace {

namespace fs = std::filesystem;

void text(const fs::path& path, const std::string& text) {
  test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(SmfkBinding, AMissingLibraryAnswersTwoWithoutCallingAnything) {
  SmfkLibrary library;
  EXPECT_FALSE(library.loadFile("/nonexistent/libsmfk32.so"));
  EXPECT_FALSE(library.available());
  Parameters parameters;
  EXPECT_EQ(library.convert(nullptr, "a.mid", "b.mid", "c.cfg", &parameters, nullptr), 2);
  EXPECT_EQ(convertNow(library, nullptr, "a.mid", "b.mid", "c.cfg"), 2);
  EXPECT_EQ(library.versionNumber(), 0);
  EXPECT_FALSE(library.version());
  EXPECT_EQ(resultMessage(2), "Cannot read a midi file");
}

TEST(SmfkBinding, TheProgramsFolderComesFirst) {
  SmfkLibrary library;
  ASSERT_TRUE(library.load(VOLTA_FAKE_SMFK_FOLDER));
  ASSERT_TRUE(library.version());
  EXPECT_EQ(library.version()->major, 2);
  EXPECT_EQ(library.version()->minor, 7);
}

TEST(SmfkBinding, TheNineResultMessages) {
  EXPECT_EQ(resultMessage(0), "Unknown error");
  EXPECT_EQ(resultMessage(1), "Cannot read a configuration file");
  EXPECT_EQ(resultMessage(2), "Cannot read a midi file");
  EXPECT_EQ(resultMessage(3), "Cannot open a output midi file");
  EXPECT_EQ(resultMessage(4), "Invalid midi file");
  EXPECT_EQ(resultMessage(5), "Out of memory");
  EXPECT_EQ(resultMessage(6), "Cannot write a configuration file");
  EXPECT_EQ(resultMessage(7), "Aborted by user");
  EXPECT_EQ(resultMessage(8), "Unknown error");
  EXPECT_EQ(resultMessage(12345), "Unknown error");
  EXPECT_FALSE(resultMessage(-1));
  EXPECT_FALSE(resultMessage(INT32_MIN));
}

TEST(SmfkBinding, TheConfigurationComesFromTheFirstSmfkWord) {
  EXPECT_EQ(configurationName("SMFK:GM.CFG GSInit"), "GM.CFG");
  EXPECT_EQ(configurationName("GSInit\tsmfk:xg SMFK:other"), "xg");
  EXPECT_EQ(configurationName("SMFK:"), "");
  EXPECT_FALSE(configurationName("GSInit ;SMFK:gm"));
  EXPECT_FALSE(configurationName("GSInit XGInit"));
  EXPECT_FALSE(configurationName("   "));
  EXPECT_FALSE(configurationName("xSMFK:gm"));
}

TEST(SmfkBinding, ConfigurationFilesAreFoundWhateverTheirCase) {
  test::TempDir dir;
  text(dir / "GS2GM.CFG", "");
  EXPECT_EQ(configurationPath(dir.path(), "gs2gm.cfg"), dir / "GS2GM.CFG");
  EXPECT_EQ(configurationPath(dir.path(), "none.cfg"), dir / "none.cfg");
  // The dialog: a path that names a file stays; a bare name is looked for in the folder.
  const fs::path elsewhere = dir / "elsewhere.cfg";
  text(elsewhere, "");
  EXPECT_EQ(chosenConfiguration(elsewhere.string(), "/nowhere"), elsewhere);
  EXPECT_EQ(chosenConfiguration("gs2gm.cfg", dir.path()), dir / "GS2GM.CFG");
}

TEST(SmfkBinding, WorkFilesArePrivateAndGoWithTheirObject) {
  test::TempDir dir;
  fs::path kept;
  {
    WorkFile first(dir.path(), "VO_SMFK.", ".MID");
    WorkFile second(dir.path(), "VO_SMFK.", ".MID");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(first.path().extension(), ".MID");
    struct stat info {};
    ASSERT_EQ(::stat(first.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    kept = second.path();
    first = std::move(second);
    EXPECT_TRUE(fs::exists(kept));
  }
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_FALSE(WorkFile(dir / "missing", "VO_RCP.", ".MID"));
}

TEST(SmfkBinding, AnRcpSongBecomesAStandardMidiFileTellingItsProgress) {
  test::TempDir dir;
  test::RcpWriter writer(false);
  writer.addTrack(0).add(60, 48, 40, 100).end();
  test::writeFile(dir / "song.rcp", writer.build());
  test::MessageLog log;
  const platform::MessageTarget owner = log.target();
  ASSERT_TRUE(writeRcpAsSmf(dir / "song.rcp", dir / "out.mid", &owner));
  const auto bytes = test::readFile(dir / "out.mid");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
  const auto messages = log.messages();
  ASSERT_FALSE(messages.empty());
  for (const auto& m : messages)
    EXPECT_EQ(m.message, kRcpProgressMessage);

  text(dir / "bad.rcp", "not an RCP song");
  EXPECT_FALSE(writeRcpAsSmf(dir / "bad.rcp", dir / "bad.mid"));
  EXPECT_FALSE(fs::exists(dir / "bad.mid"));
}

TEST(SmfkBinding, OnTheCallingThreadProgressGoesToTheOwner) {
  test::TempDir dir;
  test::SmfTrack track;
  track.noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack(0);
  test::writeFile(dir / "a.mid", test::SmfWriter(1, 48).track(track).track(track).build());
  text(dir / "up.cfg", "transpose * 1\n");
  SmfkLibrary library;
  ASSERT_TRUE(library.load(test::binDir()));
  test::MessageLog log;
  const platform::MessageTarget owner = log.target();
  EXPECT_LT(convertNow(library, &owner, dir / "a.mid", dir / "b.mid", dir / "up.cfg"), 0);
  EXPECT_EQ(log.messages(), (std::vector<test::OwnerMessage>{{kMessage, kProgress, 0}, {kMessage, kProgress, 50}}));
  EXPECT_TRUE(fs::exists(dir / "b.mid"));
  EXPECT_EQ(convertNow(library, &owner, dir / "a.mid", dir / "c.mid", dir / "none.cfg"), 1);
}

}  // namespace
}  // namespace volta::core::smfk
