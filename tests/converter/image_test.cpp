// The Standard MIDI File image: conductor track, track layout, events and endings.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/converter/converter_fixture.h"

namespace volta::converter::testing {
namespace {

using test::RcpTrackSpec;
using test::RcpWriter;
using ::testing::ElementsAre;

class Image : public ::testing::TestWithParam<bool> {
 protected:
  RcpWriter writer{GetParam()};
  Converted run() {
    Converted c = convert(writer);
    EXPECT_TRUE(c.ok);
    EXPECT_TRUE(c.smf.error.empty()) << c.smf.error;
    return c;
  }
};

TEST_P(Image, ConductorTrackCarriesTitleSignaturesAndTempo) {
  writer.title = "Title  ";
  writer.key = 0x1A;
  writer.numerator = 6;
  writer.denominator = 8;
  writer.timeBase = 96;
  writer.addTrack().end();
  const Converted c = run();
  EXPECT_EQ(c.smf.format, 1);
  EXPECT_EQ(c.smf.division, 96);
  ASSERT_EQ(c.smf.tracks.size(), 2u);
  std::vector<std::string> conductor;
  for (const auto& e : c.smf.tracks[0])
    conductor.push_back(std::to_string(e.tick) + ": " + e.hex());
  EXPECT_THAT(conductor, ElementsAre("0: FF 03 54 69 74 6C 65 00", "0: FF 59 FE 01", "0: FF 58 06 03 18 08",
                                     "0: FF 51 07 A1 20", "0: FF 2F"));
}

TEST_P(Image, EveryTrackGetsAnSmfTrackSilentOnesOnlyTheirName) {
  writer.addTrack().add(0x3C, 10, 5, 100).end().comment = "Piano";
  writer.addTrack().add(0x3C, 10, 5, 100).end().muted = true;
  writer.addTrack(0xFF).add(0xE7, 10, 128).end();
  const Converted c = run();
  ASSERT_EQ(c.smf.tracks.size(), 4u);
  EXPECT_EQ(c.smf.tracks[1][0].hex(), "FF 03 50 69 61 6E 6F 00");
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: 90 3C 64", "5: 90 3C 00"));
  EXPECT_THAT(body(c.smf.tracks[2]), ElementsAre());
  EXPECT_THAT(body(c.smf.tracks[3]), ElementsAre());
  EXPECT_EQ(c.smf.tracks[0].size(), 5u);  // no tempo from the switched-off track
}

TEST_P(Image, PortMetaEventsAnnounceOtherPorts) {
  writer.addTrack(0x12).add(0xEC, 1, 5).add(0xE6, 1, 1).add(0xEC, 1, 6).end();
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: FF 21 01", "0: C2 05", "2: FF 21 00", "2: C0 06"));
}

TEST_P(Image, ChannelMessagesEachWithTheirStatus) {
  writer.addTrack(0x03)
      .add(0xEC, 1, 5)
      .add(0xEA, 1, 40)
      .add(0xEB, 0, 10, 64)
      .add(0xEB, 1, 11, 65)
      .add(0xEE, 1, 0, 64)
      .add(0xED, 1, 60, 30)
      .end();
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]),
              ElementsAre("0: C3 05", "1: D3 28", "2: B3 0A 40", "2: B3 0B 41", "3: E3 00 40", "4: A3 3C 1E"));
}

TEST_P(Image, TempoChangesGoToTheConductorAtTheirTick) {
  writer.addTrack().add(0x3C, 30, 5, 100).add(0xE7, 10, 128).end();
  writer.addTrack().add(0xE7, 20, 32).end();
  const Converted c = run();
  std::vector<std::string> tempos;
  for (const auto& e : c.smf.tracks[0]) {
    if (e.isMeta(0x51)) tempos.push_back(std::to_string(e.tick) + ": " + e.hex());
  }
  EXPECT_THAT(tempos, ElementsAre("0: FF 51 07 A1 20", "0: FF 51 0F 42 40", "30: FF 51 03 D0 90"));
  for (std::size_t t = 1; t < c.smf.tracks.size(); ++t) {
    for (const auto& e : c.smf.tracks[t])
      EXPECT_FALSE(e.isMeta(0x51));
  }
}

TEST_P(Image, ExclusivesAndComments) {
  writer.userExclusive[0] = {0x41, 0x10, 0x42, 0x12, 0x83, 0x40, 0x00, 0x7F, 0x00, 0x84, 0xF7};
  writer.addTrack().add(0x90, 2).add(0xF6, 0, 'o', 'k').end();
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: F0 41 10 42 12 40 00 7F 00 41 F7", "2: FF 03 6F 6B"));
}

TEST_P(Image, StepShiftsOffsetTheTracks) {
  writer.addTrack().add(0x3C, 1, 1, 100).end().stepShift = -2;
  writer.addTrack().add(0x3C, 1, 1, 100).end().stepShift = 3;
  const Converted c = run();
  EXPECT_EQ(c.smf.tracks[1][1].tick, 0u);
  EXPECT_EQ(c.smf.tracks[2][1].tick, 5u);
}

TEST_P(Image, NotesStillSoundingAtTheEndRunOutTheirGate) {
  writer.addTrack().add(0x3C, 0, 40, 100).add(0x40, 10, 20, 90);
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: 90 3C 64", "0: 90 40 5A", "20: 90 40 00", "40: 90 3C 00"));
}

TEST_P(Image, EndMarkWaitsForSoundingNotes) {
  writer.addTrack().add(0x3C, 1, 40, 100).add(0xFE, 1).add(0x40, 1, 5, 100);
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: 90 3C 64", "40: 90 3C 00"));
  EXPECT_EQ(c.smf.tracks[1].back().tick, 40u);
}

TEST_P(Image, EndlessLoopsFadeOutAndEnd) {
  for (const std::uint32_t bodyTicks : {200u, 12u}) {  // the short body would restart its fade for ever
    writer = RcpWriter(GetParam());
    writer.addTrack().add(0xEB, 0, 7, 100).add(0xF9, 0).add(0x3C, bodyTicks, 10, 100).add(0xF8, 0).end();
    const Converted c = run();
    std::vector<std::uint64_t> fade;
    for (const auto& e : c.smf.tracks[1]) {
      if (e.status == 0xB0 && e.data[0] == 7) fade.push_back(e.tick);
    }
    ASSERT_EQ(fade.size(), 17u) << bodyTicks;
    EXPECT_EQ(fade[1], bodyTicks + 48u);
    EXPECT_EQ(fade[16] - fade[1], 15u * 48u);
  }
}

TEST_P(Image, RunawayLoopsAreCutShort) {
  RcpTrackSpec& t = writer.addTrack();
  for (int i = 0; i < 6; ++i)
    t.add(0xF9, 0);
  t.add(0x3C, 1, 1, 100);
  for (int i = 0; i < 6; ++i)
    t.add(0xF8, 255);  // 255^6 passes
  t.end();
  writer.addTrack().add(0x3C, 1, 1, 100).end();
  const auto bytes = writer.build();
  void* object = morphConvertFileFromBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, nullptr, 0, 0);
  ASSERT_NE(object, nullptr);
  EXPECT_GT(morphGetSMFLength(object), 1u << 20);
  EXPECT_LT(morphGetSMFLength(object), 64u << 20);
  morphDeleteObject(object);
}

TEST_P(Image, ZeroTimeBaseIsRepaired) {
  writer.timeBase = 0;
  writer.addTrack().end();
  EXPECT_EQ(run().smf.division, 48);
}

TEST_P(Image, TrackLengthPastTheBufferStaysInside) {
  writer.addTrack().add(0x3C, 1, 1, 100).add(0x3C, 1, 1, 100).lengthOverride = 65000;
  const Converted c = run();
  EXPECT_THAT(body(c.smf.tracks[1]), ElementsAre("0: 90 3C 64", "1: 90 3C 00", "1: 90 3C 64", "2: 90 3C 00"));
}

TEST_P(Image, AllTracksOfALargeSongAreWritten) {
  writer.trackCountByte = 200;
  for (int i = 0; i < 128; ++i)
    writer.addTrack(static_cast<std::uint8_t>(i & 0x0F)).add(0x3C, 1, 1, 100).end();
  const Converted c = run();
  EXPECT_EQ(c.smf.tracks.size(), 129u);
}

TEST_P(Image, LongTracksGrowTheirBuffers) {
  RcpTrackSpec& t = writer.addTrack();
  for (int i = 0; i < 15000; ++i)
    t.add(static_cast<std::uint8_t>(40 + i % 40), 1, 1, 100);
  t.end();
  t.wideLength = true;  // past 64 KiB in G36 files
  const Converted c = run();
  EXPECT_EQ(c.smf.tracks[1].size(), 2u + 30000u);
}

INSTANTIATE_TEST_SUITE_P(Families, Image, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "G36" : "RCP"; });

TEST(ImageRcp, EighteenTracksWhenTheCountByteIsZero) {
  RcpWriter writer(false);
  writer.trackCountByte = 0;
  for (int i = 0; i < 18; ++i)
    writer.addTrack().end();
  const Converted c = convert(writer);
  EXPECT_EQ(c.fileType, 3);
  EXPECT_EQ(c.smf.tracks.size(), 19u);
}

TEST(ImageG36, MarkedFilesReportType4) {
  RcpWriter writer(true);
  writer.marker = true;
  writer.addTrack().end();
  EXPECT_EQ(convert(writer).fileType, 4);
}

}  // namespace
}  // namespace volta::converter::testing
