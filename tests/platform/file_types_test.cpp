#include "platform/file_types.h"

#include <gtest/gtest.h>

namespace volta::platform {
namespace {

TEST(FileTypes, ExtensionIsAfterTheLastDotOfTheLastPart) {
  EXPECT_EQ(extensionOf("song.mid"), "mid");
  EXPECT_EQ(extensionOf("song.rcp.smfk"), "smfk");
  EXPECT_EQ(extensionOf("dir.x/song"), "");
  EXPECT_EQ(extensionOf("dir.x\\song"), "");  // lists written on Windows use backslashes
  EXPECT_EQ(extensionOf("song."), "");
  EXPECT_EQ(extensionOf("song"), "");
}

TEST(FileTypes, SongFormatsFollowTheExtensionWhateverItsCase) {
  EXPECT_EQ(songFormatOf("a.mid"), SongFormat::kSmf);
  EXPECT_EQ(songFormatOf("a.Smf"), SongFormat::kSmf);
  EXPECT_EQ(songFormatOf("a.MFF"), SongFormat::kSmf);
  EXPECT_EQ(songFormatOf("a.rmi"), SongFormat::kSmf);
  EXPECT_EQ(songFormatOf("a.RCP"), SongFormat::kRcp);
  EXPECT_EQ(songFormatOf("a.r36"), SongFormat::kRcp);
  EXPECT_EQ(songFormatOf("a.G18"), SongFormat::kG36);
  EXPECT_EQ(songFormatOf("a.g36"), SongFormat::kG36);
  EXPECT_EQ(songFormatOf("a.Wav"), SongFormat::kWave);
  EXPECT_EQ(songFormatOf("a.midi"), SongFormat::kNone);
  EXPECT_EQ(songFormatOf("a.kar"), SongFormat::kSmf);  // karaoke files: SMF with lyrics
  EXPECT_EQ(songFormatOf("a.txt"), SongFormat::kNone);
  EXPECT_EQ(songFormatOf("mid"), SongFormat::kNone);
  EXPECT_TRUE(isRcpFamily(songFormatOf("a.g18")));
  EXPECT_FALSE(isRcpFamily(songFormatOf("a.mid")));
}

TEST(FileTypes, ConvertedSongsAreStandardMidiFilesBesideTheSong) {
  EXPECT_EQ(convertedSongName("dir/SONG.RCP"), "dir/SONG.RCP.smfk");
  EXPECT_EQ(extensionOf(convertedSongName("SONG.RCP")), kConvertedSongExtension);
}

TEST(FileTypes, ScriptSongsAreLookedForRcpFamilyFirst) {
  EXPECT_EQ(kSongExtensions.front().extension, "G18");
  EXPECT_EQ(kSongExtensions[4].extension, "MID");
  for (const SongExtension& song : kSongExtensions)
    EXPECT_EQ(songFormatOfExtension(song.extension), song.format) << song.extension;
}

}  // namespace
}  // namespace volta::platform
