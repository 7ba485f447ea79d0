// Loops, fades, same-measure references, track starts and runaway records.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/rcp/rcp_harness.h"
#include "tests/support/rcp_writer.h"

namespace volta::rcp::testing {
namespace {

using test::RcpTrackSpec;
using test::RcpWriter;
using ::testing::ElementsAre;

class Flow : public ::testing::TestWithParam<bool> {
 protected:
  bool g36() const { return GetParam(); }
  Family family() const { return g36() ? Family::G36 : Family::Rcp; }
  Played run(std::uint32_t ticks = 5000, Rules rules = Rules{}, Mode mode = Mode::Play) {
    rules.inlineExclusiveLimit = engineRules(family()).inlineExclusiveLimit;
    return play(writer.build(), family(), rules, ticks, mode);
  }
  std::size_t noteOns(const Played& played, const std::string& note) const {
    const auto texts = played.texts();
    return static_cast<std::size_t>(std::count_if(texts.begin(), texts.end(), [&](const std::string& t) {
      return t.rfind("A 90 " + note, 0) == 0 && t.substr(t.size() - 2) != "00";
    }));
  }
  RcpWriter writer{GetParam()};
};

TEST_P(Flow, CountedAndNestedLoops) {
  writer.addTrack().add(0xF9, 0).add(0x3C, 4, 1, 100).add(0xF9, 0).add(0x40, 4, 1, 100).add(0xF8, 2).add(0xF8, 3).end();
  const Played played = run();
  EXPECT_EQ(noteOns(played, "3C"), 3u);
  EXPECT_EQ(noteOns(played, "40"), 6u);
  EXPECT_TRUE(played.allEnded);
}

TEST_P(Flow, LoopEndWithoutStartIsIgnored) {
  writer.addTrack().add(0xF8, 3).add(0x3C, 4, 1, 100).end();
  EXPECT_EQ(noteOns(run(), "3C"), 1u);
}

TEST_P(Flow, NestingPastTheLimitStopsTheTrack) {
  RcpTrackSpec& t = writer.addTrack();
  for (int i = 0; i < 9; ++i)
    t.add(0xF9, 0);
  t.add(0x3C, 4, 1, 100).end();
  Played played = run();
  EXPECT_THAT(played.texts(), ElementsAre("error 13"));
  EXPECT_TRUE(played.allEnded);
  // The converter allows 32 levels and ends the track silently beyond them.
  EXPECT_EQ(noteOns(play(writer.build(), family(), converterRules(), 100), "3C"), 1u);
  t.records.insert(t.records.begin(), 24, {0xF9, 0, 0, 0});
  played = play(writer.build(), family(), converterRules(), 100);
  EXPECT_TRUE(played.events.empty());
  EXPECT_TRUE(played.allEnded);
}

// An endless loop of six quarter notes after a volume of 100.
void endlessSong(RcpWriter& writer, std::uint32_t bodyTicks) {
  RcpTrackSpec& t = writer.addTrack().add(0xEB, 0, 7, 100).add(0xF9, 0).add(0x3C, 0, 10, 100);
  for (; bodyTicks > 0; bodyTicks -= std::min(bodyTicks, 255u))
    t.add(0x80, std::min(bodyTicks, 255u));  // no action
  t.add(0xF8, 0).end();
}

TEST_P(Flow, EndlessLoopFadesOutAfterTwoPasses) {
  endlessSong(writer, 288);
  const Played played = run(20000);
  ASSERT_TRUE(played.allEnded);
  std::vector<std::string> fade;
  for (const std::string& t : played.texts()) {
    if (t.rfind("A B0 07", 0) == 0) fade.push_back(t);
  }
  ASSERT_EQ(fade.size(), 17u);
  EXPECT_EQ(fade[0], "A B0 07 64");
  EXPECT_EQ(fade[1], "A B0 07 64");   // first step: level 128
  EXPECT_EQ(fade[2], "A B0 07 5D");   // 100 * 120 / 128
  EXPECT_EQ(fade[16], "A B0 07 06");  // 100 * 8 / 128
  const auto ticks = played.ticksOf("A B0 07");
  EXPECT_EQ(ticks[1], 1u + 2u * 288u + 48u);
  EXPECT_EQ(ticks[16] - ticks[1], 15u * 48u);
  EXPECT_EQ(noteOns(played, "3C"), 5u);  // two passes, then three more while fading
}

TEST_P(Flow, EndlessLoopWithoutRepeatCountPlaysOn) {
  endlessSong(writer, 288);
  Rules rules;
  rules.endlessRepeat = 0;
  const Played played = run(288 * 40, rules);
  EXPECT_FALSE(played.allEnded);
  EXPECT_EQ(noteOns(played, "3C"), 40u);
}

TEST_P(Flow, ShortEndlessLoopStillFadesToTheEnd) {
  endlessSong(writer, 12);  // two passes last far less than the fade
  const Played played = play(writer.build(), family(), converterRules(), 100000);
  ASSERT_TRUE(played.allEnded);
  const auto ticks = played.ticksOf("A B0 07");
  ASSERT_EQ(ticks.size(), 17u);
  EXPECT_EQ(ticks[16] - ticks[1], 15u * 48u);
}

TEST_P(Flow, ScanCountsEndlessLoopsOnceOrRepeatTimes) {
  endlessSong(writer, 100);
  writer.tracks[0].add(0xE7, 1, 128);
  Rules rules;
  rules.endlessRepeat = 0;
  EXPECT_EQ(run(5000, rules, Mode::Scan).ticksOf("tempo")[0], 1u + 100u);
  rules.endlessRepeat = 2;
  EXPECT_EQ(run(5000, rules, Mode::Scan).ticksOf("tempo")[0], 1u + 200u);
}

TEST_P(Flow, RecordsWithoutTimeAreRunaway) {
  writer.addTrack().add(0xF9, 0).add(0xF8, 0).end();
  Rules rules;
  rules.endlessRepeat = 0;
  Played played = run(100, rules);
  EXPECT_THAT(played.texts(), ElementsAre("error 12"));
  EXPECT_TRUE(played.allEnded);
  played = play(writer.build(), family(), converterRules(), 100);
  EXPECT_TRUE(played.events.empty());
  EXPECT_TRUE(played.allEnded);
}

TEST_P(Flow, StepShiftsStartTracksOnTicksOneAndSix) {
  writer.addTrack(0x00).add(0x3C, 1, 1, 100).end().stepShift = -2;
  writer.addTrack(0x01).add(0x3C, 1, 1, 100).end().stepShift = 3;
  const Played played = run();
  EXPECT_EQ(played.ticksOf("A 90 3C 64")[0], 1u);
  EXPECT_EQ(played.ticksOf("A 91 3C 64")[0], 6u);
}

TEST_P(Flow, MutedAndSwitchedOffTracksPlayNothing) {
  writer.addTrack().add(0xE7, 1, 128).add(0x3C, 1, 1, 100).end().muted = true;
  writer.addTrack(0xFF).add(0xE7, 1, 128).add(0x3C, 1, 1, 100).end();
  writer.addTrack(0x02).add(0x3C, 1, 1, 100).end();
  const Played played = run();
  EXPECT_THAT(played.texts(), ElementsAre("A 92 3C 64", "A 92 3C 00"));
  EXPECT_TRUE(played.tracks[0].ended);
}

TEST_P(Flow, LastNotesRunOutTheirGateWhenRecordsRunOut) {
  writer.addTrack().add(0x3C, 5, 30, 100).end();
  writer.addTrack(0x01).add(0x3E, 5, 20, 100);  // no end mark at all
  const Played played = run();
  EXPECT_EQ(played.ticksOf("A 90 3C 00"), std::vector<std::uint32_t>{31});
  EXPECT_EQ(played.ticksOf("A 91 3E 00"), std::vector<std::uint32_t>{21});
  EXPECT_TRUE(played.allEnded);
}

TEST_P(Flow, TrackPastTheEndOfTheFileStopsAtTheData) {
  writer.addTrack().add(0x3C, 1, 1, 100).add(0x3D, 1, 1, 100).lengthOverride = 60000;
  const Played played = run();
  EXPECT_EQ(noteOns(played, "3D"), 1u);
  EXPECT_TRUE(played.allEnded);
}

// Parameters of a same-measure record that names record `index` of its track.
void reference(RcpWriter& writer, RcpTrackSpec& t, std::uint32_t index, std::uint32_t step = 0) {
  if (!writer.g36()) {
    const std::uint32_t offset = 44 + 4 * index;
    t.add(0xFC, step, offset & 0xFF, offset >> 8);
  } else if (writer.marker) {
    t.add(0xFC, step, 48 + index);
  } else {
    t.add(0xFC, step, 46 + 6 * index);
  }
}

void referenceSong(RcpWriter& writer) {
  RcpTrackSpec& t = writer.addTrack();
  t.add(0x3C, 10, 1, 100).add(0xFD, 0).add(0x3E, 10, 1, 100).add(0xFD, 0);
  reference(writer, t, 0);  // 4: the first measure again
  reference(writer, t, 4);  // 5: a reference to that reference
  reference(writer, t, 5);  // 6: and to the chain
  reference(writer, t, 2);  // 7: the second measure
  t.end();
}

TEST_P(Flow, SameMeasureReferencesAndChains) {
  for (const bool marked : {false, true}) {
    if (marked && !g36()) continue;
    writer = RcpWriter(g36());
    writer.marker = marked;
    referenceSong(writer);
    const Played played = run();
    std::vector<std::string> notes;
    for (const std::string& t : played.texts()) {
      if (t.substr(t.size() - 2) != "00") notes.push_back(t.substr(5, 2));
    }
    EXPECT_THAT(notes, ElementsAre("3C", "3E", "3C", "3C", "3C", "3E")) << "marked " << marked;
    EXPECT_TRUE(played.allEnded);
  }
}

TEST_P(Flow, ReferencesLeadingNowhereArePassedOver) {
  RcpTrackSpec& t = writer.addTrack();
  t.add(0x3C, 10, 1, 100).add(0xFD, 0);
  reference(writer, t, 2);     // itself: a circular chain
  reference(writer, t, 5000);  // beyond the track
  t.add(0x3E, 10, 1, 100).end();
  const Played played = run();
  EXPECT_EQ(noteOns(played, "3C"), 1u);
  EXPECT_EQ(noteOns(played, "3E"), 1u);
  EXPECT_TRUE(played.allEnded);
}

INSTANTIATE_TEST_SUITE_P(Families, Flow, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "G36" : "RCP"; });

}  // namespace
}  // namespace volta::rcp::testing
