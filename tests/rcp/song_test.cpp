// Header reading, the track list walk, texts and recognition of both families.

#include "rcp/song.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/rcp_writer.h"

namespace volta::rcp {
namespace {

using test::RcpTrackSpec;
using test::RcpWriter;

Image imageOf(const std::vector<std::uint8_t>& bytes) {
  return {bytes.data(), bytes.size(), bytes.size()};
}

Song read(const RcpWriter& writer, StepShiftRule rule = StepShiftRule::Signed) {
  const std::vector<std::uint8_t> bytes = writer.build();
  Song song;
  EXPECT_TRUE(readSong(imageOf(bytes), writer.g36() ? Family::G36 : Family::Rcp, rule, song));
  return song;
}

class SongHeader : public ::testing::TestWithParam<bool> {
 protected:
  RcpWriter writer{GetParam()};
};

TEST_P(SongHeader, ZeroFieldsTakeTheirDefaults) {
  writer.tempo = 0;
  writer.numerator = 0;
  writer.denominator = 0;
  writer.timeBase = 96;
  writer.key = 0x1B;
  writer.addTrack().end();
  const Song song = read(writer);
  EXPECT_EQ(song.headerTempo, 120);
  EXPECT_EQ(song.numerator, 4);
  EXPECT_EQ(song.denominator, 4);
  EXPECT_EQ(song.timeBase, 96);
  EXPECT_EQ(song.initialTempo(), 500000u);
  EXPECT_EQ(song.ticksPerMeasure(), 384u);
  EXPECT_EQ(song.key, 0x1B);  // three flats, minor
}

TEST_P(SongHeader, ZeroTimeBaseIsRepaired) {
  writer.timeBase = 0;
  writer.addTrack().end();
  EXPECT_EQ(read(writer).timeBase, kFallbackTimeBase);
}

TEST_P(SongHeader, TitleLosesTrailingSpacesOnly) {
  writer.title = "My Song  ";
  EXPECT_STREQ(read(writer).title.data(), "My Song");
  writer.title = std::string(64, 'x');
  EXPECT_EQ(std::strlen(read(writer).title.data()), 64u);
  writer.title = std::string("Ab") + std::string(1, '\0') + "  ";
  EXPECT_STREQ(read(writer).title.data(), "Ab");
  writer.title = " ";
  EXPECT_STREQ(read(writer).title.data(), " ");  // the first byte is never trimmed
}

TEST_P(SongHeader, StepShiftsLineUpTheEarliestTrackOnTickOne) {
  writer.addTrack().stepShift = -2;
  writer.addTrack().stepShift = 3;
  writer.addTrack(0xFF).stepShift = -5;  // switched off, yet it counts for the earliest start
  const Song song = read(writer);
  EXPECT_EQ(song.tracks[0].initialWait, 4);
  EXPECT_EQ(song.tracks[1].initialWait, 9);
  EXPECT_EQ(song.tracks[2].initialWait, 1);
  EXPECT_TRUE(song.tracks[2].silent);
}

TEST_P(SongHeader, MutedAndSwitchedOffTracksAreSilent) {
  writer.addTrack(0x12).comment = "lead";
  writer.addTrack().muted = true;
  writer.addTrack(0xFF);
  const Song song = read(writer);
  ASSERT_EQ(song.trackCount, 3);
  EXPECT_FALSE(song.tracks[0].silent);
  EXPECT_EQ(song.tracks[0].port(), 1);
  EXPECT_EQ(song.tracks[0].channel(), 2);
  EXPECT_EQ(trimmedCommentLength(song.tracks[0]), 4u);
  EXPECT_TRUE(song.tracks[1].silent);
  EXPECT_TRUE(song.tracks[2].silent);
}

TEST_P(SongHeader, TrackListEndingEarlyShortensTheSong) {
  writer.trackCountByte = 36;
  writer.addTrack().end();
  writer.addTrack().end();
  EXPECT_EQ(read(writer).trackCount, 2);
}

TEST_P(SongHeader, TruncatedHeaderIsRefused) {
  writer.addTrack().end();
  std::vector<std::uint8_t> bytes = writer.build();
  bytes.resize(writer.headerSize() - 1);
  Song song;
  EXPECT_FALSE(readSong(imageOf(bytes), GetParam() ? Family::G36 : Family::Rcp, StepShiftRule::Signed, song));
}

TEST_P(SongHeader, TrackRunningPastTheDataEndsAtTheImage) {
  writer.addTrack().add(0x3C, 10, 5, 100).lengthOverride = 60000;
  const std::vector<std::uint8_t> bytes = writer.build();
  Song song;
  ASSERT_TRUE(readSong(imageOf(bytes), GetParam() ? Family::G36 : Family::Rcp, StepShiftRule::Signed, song));
  EXPECT_EQ(song.tracks[0].end, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Families, SongHeader, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "G36" : "RCP"; });

TEST(SongFileTypes, RcpTrackCountByteDecidesTheVariant) {
  RcpWriter writer(false);
  writer.trackCountByte = 0;
  for (int i = 0; i < 20; ++i)
    writer.addTrack().end();
  Song song = read(writer);
  EXPECT_EQ(song.trackCount, 18);
  EXPECT_EQ(song.engineFileType(), 9);
  EXPECT_EQ(song.converterFileType(), 3);
  writer.trackCountByte = 36;
  song = read(writer);
  EXPECT_EQ(song.trackCount, 20);
  EXPECT_EQ(song.engineFileType(), 10);
  EXPECT_EQ(song.converterFileType(), 2);
  writer.trackCountByte = 200;
  EXPECT_EQ(read(writer).trackCount, 20);
}

TEST(SongFileTypes, G36MarkerNeedsSixteenBytes) {
  RcpWriter writer(true);
  writer.addTrack().end();
  Song song = read(writer);
  EXPECT_EQ(song.engineFileType(), 11);
  EXPECT_EQ(song.converterFileType(), 3);
  writer.marker = true;
  song = read(writer);
  EXPECT_TRUE(song.marked);
  EXPECT_EQ(song.engineFileType(), 12);
  EXPECT_EQ(song.converterFileType(), 4);
  std::vector<std::uint8_t> bytes = writer.build();
  bytes.resize(bytes.size() - 1);
  ASSERT_TRUE(readSong(imageOf(bytes), Family::G36, StepShiftRule::Signed, song));
  EXPECT_FALSE(song.marked);
}

TEST(SongFileTypes, G36WithoutTracksAndZeroCount) {
  RcpWriter writer(true);
  writer.trackCountByte = 0;
  writer.addTrack().end();
  EXPECT_EQ(read(writer).trackCount, 0);
}

TEST(SongWalk, OldRcpStepShiftIsUnsignedForTheConverter) {
  RcpWriter writer(false);
  writer.trackCountByte = 0;
  writer.addTrack().stepShift = -2;  // 254 unsigned
  writer.addTrack().stepShift = 3;
  const Song song = read(writer, StepShiftRule::UnsignedForOldRcp);
  EXPECT_EQ(song.tracks[0].initialWait, 252);
  EXPECT_EQ(song.tracks[1].initialWait, 1);
}

TEST(SongWalk, WideG36TrackLengthIsUsedWhenItFits) {
  RcpWriter writer(true);
  RcpTrackSpec& big = writer.addTrack();
  for (int i = 0; i < 11000; ++i)
    big.add(0x3C, 1, 1, 100);  // 66046 bytes: past 16 bits
  big.wideLength = true;
  writer.addTrack().end();
  Song song = read(writer);
  ASSERT_EQ(song.trackCount, 2);
  EXPECT_EQ(song.tracks[0].end - song.tracks[0].headerOffset, 46u + 66000u);
  EXPECT_EQ(song.tracks[1].headerOffset, song.tracks[0].end);
  // A wide length past the file is not trusted: the low 16 bits are read.
  RcpWriter small(true);
  RcpTrackSpec& track = small.addTrack().end();
  track.lengthOverride = 0x70000 + 52;
  track.wideLength = true;
  EXPECT_EQ(read(small).tracks[0].end, 3224u + 52u);
}

TEST(SongTexts, MemoOfBothFamilies) {
  RcpWriter rcp(false);
  rcp.memo = std::string(28, 'a') + std::string(28, 'b');
  std::vector<std::uint8_t> bytes = rcp.build();
  std::array<std::uint8_t, kMemoBytes> memo{};
  readMemo(imageOf(bytes), Family::Rcp, memo);
  const std::string rcpMemo(memo.begin(), memo.end());
  EXPECT_EQ(rcpMemo.substr(0, 60), " " + std::string(28, 'a') + "  " + std::string(28, 'b') + " ");
  RcpWriter g36(true);
  g36.memo = std::string(360, 'm');
  bytes = g36.build();
  readMemo(imageOf(bytes), Family::G36, memo);
  EXPECT_EQ(std::string(memo.begin(), memo.end()), std::string(360, 'm'));
}

TEST(SongTexts, RecognitionByContent) {
  Family family{};
  std::vector<std::uint8_t> bytes = RcpWriter(false).build();
  ASSERT_TRUE(recognise(bytes.data(), bytes.size(), family));
  EXPECT_EQ(family, Family::Rcp);
  bytes = RcpWriter(true).build();
  ASSERT_TRUE(recognise(bytes.data(), bytes.size(), family));
  EXPECT_EQ(family, Family::G36);
  bytes.assign(40, 'x');
  EXPECT_FALSE(recognise(bytes.data(), bytes.size(), family));
  EXPECT_FALSE(recognise(bytes.data(), 5, family));
}

}  // namespace
}  // namespace volta::rcp
