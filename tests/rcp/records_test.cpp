// What each record code sends, for both families.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/rcp/rcp_harness.h"
#include "tests/support/rcp_writer.h"

namespace volta::rcp::testing {
namespace {

using test::RcpTrackSpec;
using test::RcpWriter;
using ::testing::ElementsAre;

class Records : public ::testing::TestWithParam<bool> {
 protected:
  bool g36() const { return GetParam(); }
  Family family() const { return g36() ? Family::G36 : Family::Rcp; }
  Played run(std::uint32_t ticks = 2000, Mode mode = Mode::Play) {
    return play(writer.build(), family(), engineRules(family()), ticks, mode);
  }
  // Continuation records carrying `bytes` (2 per RCP record, 5 per G36 record).
  void continuation(RcpTrackSpec& track, std::vector<std::uint8_t> bytes, std::uint32_t step = 9) {
    const std::size_t per = g36() ? 5 : 2;
    bytes.resize((bytes.size() + per - 1) / per * per, 0);
    for (std::size_t i = 0; i < bytes.size(); i += per) {
      if (g36()) {
        track.add(0xF7, bytes[i + 1] | bytes[i + 2] << 8, bytes[i + 3] | bytes[i + 4] << 8, bytes[i]);
      } else {
        track.add(0xF7, step, bytes[i], bytes[i + 1]);
      }
    }
  }
  RcpWriter writer{GetParam()};
};

TEST_P(Records, ChannelAndParameterCodes) {
  RcpTrackSpec& t = writer.addTrack(0x01);
  t.add(0xE2, 1, 5, 2).add(0xEA, 1, 40).add(0xEB, 1, 10, 64).add(0xEC, 1, 7).add(0xED, 1, 60, 30);
  t.add(0xEE, 1, 0, 64).add(0xE1, 1, 3, 1).add(0xDE, 1, 0x7F, 0);
  t.add(0xDD, 0, 0x40, 0x01).add(0xDF, 0, 0x11, 0x42).add(0xDE, 1, 0x05, 0x06);
  t.add(0xF5, 7, 0).add(0x99, 5).add(0xF7, 5).add(0xE6, 0, 17).add(0xEC, 1, 1).add(0xE6, 1, 0).add(0xEC, 1, 2);
  t.add(0x80, 1).add(0xFE, 0);
  const Played played = run();
  std::vector<std::string> expected = {"A B1 00 02", "A C1 05",    "A D1 28",   "A B1 0A 40",
                                       "A C1 07",    "A A1 3C 1E", "A E1 00 40"};
  if (g36()) expected.insert(expected.end(), {"A B1 20 01", "A C1 03"});
  expected.insert(expected.end(), {"A F0 41 10 16 12 10 00 7F 00 71 F7", "A F0 41 11 42 12 40 01 05 06 34 F7", "key 7",
                                   "B C0 01", "B CF 02"});
  EXPECT_EQ(played.texts(), expected);
  EXPECT_TRUE(played.allEnded);
  // Key changes, 0x99 and lone continuations take no time.
  const auto keyTick = played.ticksOf("key")[0];
  EXPECT_EQ(played.ticksOf("B C0")[0], keyTick);
}

TEST_P(Records, NotesEndAfterTheirGateAndMayBeProlonged) {
  writer.addTrack().add(0x3C, 2, 10, 100).add(0x3C, 10, 3, 90).add(0x40, 1, 0, 0).end();
  const Played played = run();
  EXPECT_THAT(played.texts(), ElementsAre("A 90 3C 64", "A 90 3C 00"));
  EXPECT_EQ(played.ticksOf("A 90 3C 00")[0], 1u + 2u + 3u);
}

TEST_P(Records, GateZeroNoteSetsNoteSoundedOnlyInRcpFiles) {
  writer.addTrack().add(0x3C, 1, 0, 100).end();
  const Played played = run();
  EXPECT_TRUE(played.events.empty());
  EXPECT_EQ(played.noteSounded, g36() ? 0 : 1);
}

TEST_P(Records, KeyShiftAndPlayBiasTransposeModulo128) {
  writer.playBias = -1;
  writer.addTrack().add(0x3C, 1, 1, 100).end().keyShift = 2;
  writer.addTrack().add(0x3C, 1, 1, 100).end().keyShift = 0x82;
  writer.addTrack().add(0x00, 1, 1, 100).end().keyShift = 127;
  const Played played = run();
  EXPECT_EQ(played.textsOf(0)[0], "A 90 3D 64");
  EXPECT_EQ(played.textsOf(1)[0], "A 90 3C 64");
  EXPECT_EQ(played.textsOf(2)[0], "A 90 7E 64");
}

TEST_P(Records, AtMostSixtyFourNotesSound) {
  RcpTrackSpec& t = writer.addTrack();
  for (int k = 0; k < 65; ++k)
    t.add(static_cast<std::uint8_t>(k), 0, 50, 100);
  t.add(0x99, 0).add(0xF5, 60).end();
  t.records[64].step = 100;
  const Played played = run();
  EXPECT_EQ(played.ticksOf("A 90").size(), 2u * 64u);
}

TEST_P(Records, UserExclusiveTemplates) {
  writer.userExclusive[0] = {0x41, 0x10, 0x42, 0x12, 0x83, 0x40, 0x00, 0x7F, 0x00, 0x84, 0xF7};
  writer.userExclusive[3] = {0xF0, 0x43, 0x80, 0x81, 0x82, 0x90};
  writer.userExclusive[7] = {0x7E, 0xF7, 0x01};
  writer.addTrack(0x05).add(0x90, 1).add(0x93, 1, 0x11, 0x22).add(0x97, 1).end();
  // All 24 template bytes are read: the zeros after the last code are data too.
  std::string padded = "A F0 43 11 22 05";
  for (int i = 0; i < 18; ++i)
    padded += " 00";
  EXPECT_THAT(run().texts(), ElementsAre("A F0 41 10 42 12 40 00 7F 00 41 F7", padded + " F7", "A F0 7E F7"));
}

TEST_P(Records, InlineExclusiveTakesItsContinuationRecords) {
  RcpTrackSpec& t = writer.addTrack(0x13);
  t.add(0x98, 4, 0x10, 0x20);
  continuation(t, {0x41, 0x10, 0x42, 0x12, 0x83, 0x40, 0x80, 0x81, 0x84, 0xF7});
  t.add(0xEC, 1, 1).end();
  const Played played = run();
  const std::string expected = "B F0 41 10 42 12 40 10 20 10 F7";
  ASSERT_EQ(played.texts().size(), 2u);
  EXPECT_EQ(played.texts()[0], expected);
  EXPECT_EQ(played.ticksOf("B C3")[0], 1u + 4u);  // continuation steps are ignored
}

TEST_P(Records, InlineExclusiveStopsAtItsLimit) {
  RcpTrackSpec& t = writer.addTrack();
  t.add(0x98, 1);
  continuation(t, std::vector<std::uint8_t>(5000, 0x01));
  t.end();
  const Played played = run();
  ASSERT_EQ(played.events.size(), 1u);
  EXPECT_EQ(played.events[0].text.size(), 2u + (g36() ? 256u : 4096u) * 3u - 1u);
}

TEST_P(Records, CommentIsGathered) {
  RcpTrackSpec& t = writer.addTrack();
  t.add(0xF6, 0, 'h', 'i');
  continuation(t, {'t', 'h', 'e', 'r', 'e'});
  t.end();
  const Played played = run();
  ASSERT_EQ(played.events.size(), 1u);
  EXPECT_EQ(played.events[0].text, g36() ? "comment hithere" : std::string("comment hithere") + '\0');
}

TEST_P(Records, TempoChangesAreRelativeToTheHeaderTempo) {
  writer.addTrack().add(0xE7, 1, 96).add(0xE7, 1, 0).add(0xE7, 1, 64).add(0xE7, 1, 128).end();
  EXPECT_THAT(run().texts(), ElementsAre("tempo 333333", "tempo 500000", "tempo 250000"));
  writer.tempo = 30;
  writer.tracks[0].records = {{0xE7, 1, 2, 0}, {0xE7, 1, 128, 0}};
  EXPECT_THAT(run(100, Mode::Scan).texts(), ElementsAre("tempo 1000000"));
}

TEST_P(Records, ChaseSendsControlsButNoNotes) {
  writer.addTrack().add(0x3C, 1, 5, 100).add(0xEB, 10, 7, 100).end();
  const Played chased = run(20, Mode::Chase);
  EXPECT_THAT(chased.texts(), ElementsAre("A B0 07 64"));
  // The newer family remembers the chased note without sounding it.
  EXPECT_EQ(chased.tracks[0].soundingCount, g36() ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Families, Records, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "G36" : "RCP"; });

}  // namespace
}  // namespace volta::rcp::testing
