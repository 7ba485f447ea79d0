#include "outside/smfk32/smf_rewrite.h"

#include <gtest/gtest.h>

#include "tests/converter/smf_reader.h"
#include "tests/support/smf_writer.h"

namespace smfk32 {
namespace {

using volta::converter::testing::readSmf;
using volta::converter::testing::SmfEvent;
using volta::converter::testing::SmfFile;
using volta::test::Bytes;
using volta::test::SmfTrack;
using volta::test::SmfWriter;

Rules rulesOf(std::string_view text) {
  return readRules(text).rules.value();
}

SmfFile rewritten(const Bytes& song, const Rules& rules) {
  const Rewritten result = rewrite(song, rules);
  EXPECT_EQ(result.status, RewriteStatus::kDone);
  SmfFile file = readSmf(result.bytes.data(), result.bytes.size());
  EXPECT_EQ(file.error, "");
  return file;
}

// The events of a track as "tick: bytes", meta events left out.
std::vector<std::string> music(const std::vector<SmfEvent>& track) {
  std::vector<std::string> lines;
  for (const SmfEvent& event : track)
    if (event.status != 0xFF) lines.push_back(std::to_string(event.tick) + ": " + event.hex());
  return lines;
}

Bytes twoChannelSong() {
  SmfTrack conductor;
  conductor.trackName(0, "Song").tempo(0, 500000).endOfTrack(0);
  SmfTrack first;
  first.program(0, 0, 24).controller(0, 0, 7, 100).controller(0, 0, 91, 40).noteOn(10, 0, 60, 100);
  first.noteOff(20, 0, 60).endOfTrack(0);
  SmfTrack drums;
  drums.program(0, 9, 0).noteOn(5, 9, 36, 90).noteOff(5, 9, 36).endOfTrack(0);
  return SmfWriter(1, 96).track(conductor).track(first).track(drums).build();
}

TEST(SmfRewrite, NoRulesGiveTheSameMusic) {
  const Bytes song = twoChannelSong();
  const SmfFile before = readSmf(song.data(), song.size());
  const SmfFile after = rewritten(song, Rules());
  EXPECT_EQ(after.format, 1);
  EXPECT_EQ(after.division, 96);
  ASSERT_EQ(after.tracks.size(), 3u);
  for (std::size_t t = 0; t < 3; ++t)
    EXPECT_EQ(music(after.tracks[t]), music(before.tracks[t]));
  EXPECT_TRUE(after.tracks[0][0].isMeta(0x03));  // meta events pass unchanged
}

TEST(SmfRewrite, MapsProgramsControllersChannelsAndTransposes) {
  const SmfFile after = rewritten(twoChannelSong(), rulesOf("program 1 25 20\n"
                                                            "controller 1 7 11\n"
                                                            "controller * 91 drop\n"
                                                            "transpose 1 +12\n"
                                                            "channel 10 11\n"
                                                            "program 10 1 17\n"));
  EXPECT_EQ(music(after.tracks[1]),
            (std::vector<std::string>{"0: C0 13", "0: B0 0B 64", "10: 90 48 64", "30: 80 48 00"}));
  // The channel map comes last: channel 10's program rule still applies.
  EXPECT_EQ(music(after.tracks[2]), (std::vector<std::string>{"0: CA 10", "5: 9A 24 5A", "10: 8A 24 00"}));
}

TEST(SmfRewrite, ANoteMovedOutOfRangeIsDroppedWithItsRelease) {
  SmfTrack track;
  track.noteOn(0, 0, 120, 100).noteOn(0, 0, 60, 100).noteOff(10, 0, 120).noteOff(0, 0, 60).endOfTrack(0);
  const SmfFile after = rewritten(SmfWriter(0, 48).track(track).build(), rulesOf("transpose * 10"));
  EXPECT_EQ(music(after.tracks[0]), (std::vector<std::string>{"0: 90 46 64", "10: 80 46 00"}));
}

TEST(SmfRewrite, ADroppedEventsTimeGoesToTheNextEvent) {
  SmfTrack track;
  track.controller(0, 0, 91, 1).controller(30, 0, 91, 2).noteOn(7, 0, 60, 100).endOfTrack(5);
  const Rewritten result = rewrite(SmfWriter(0, 48).track(track).build(), rulesOf("controller * 91 drop"));
  const SmfFile after = readSmf(result.bytes.data(), result.bytes.size());
  ASSERT_EQ(after.tracks.size(), 1u);
  EXPECT_EQ(music(after.tracks[0]), (std::vector<std::string>{"37: 90 3C 64"}));
  EXPECT_EQ(after.tracks[0].back().tick, 42u);  // the end of the track stays where it was
}

TEST(SmfRewrite, ExclusivesAreDroppedByPrefixOrAll) {
  SmfTrack track;
  track.sysex(0, {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});  // GS reset
  track.sysex(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});                                // GM on
  track.escape(0, {0xF3, 0x01}).noteOn(0, 0, 60, 1).endOfTrack(0);
  const Bytes song = SmfWriter(0, 48).track(track).build();
  const SmfFile byPrefix = rewritten(song, rulesOf("exclusive drop 41 10 42"));
  EXPECT_EQ(music(byPrefix.tracks[0]),
            (std::vector<std::string>{"0: F0 7E 7F 09 01 F7", "0: F7 F3 01", "0: 90 3C 01"}));
  const SmfFile all = rewritten(song, rulesOf("exclusive drop all"));
  EXPECT_EQ(music(all.tracks[0]), (std::vector<std::string>{"0: 90 3C 01"}));
}

TEST(SmfRewrite, RunningStatusIsReadAndWrittenOut) {
  SmfTrack track(true);
  track.noteOn(0, 2, 60, 100).noteOn(1, 2, 64, 100).noteOn(1, 2, 67, 100).endOfTrack(0);
  const SmfFile after = rewritten(SmfWriter(0, 48).track(track).build(), rulesOf("channel 3 4"));
  EXPECT_EQ(music(after.tracks[0]), (std::vector<std::string>{"0: 93 3C 64", "1: 93 40 64", "2: 93 43 64"}));
}

TEST(SmfRewrite, ATrackWithoutItsEndGetsOneAndOtherChunksPass) {
  SmfTrack track;
  track.noteOn(4, 0, 60, 100);
  const Rewritten result = rewrite(SmfWriter(0, 48).track(track).chunk("XTRA", {1, 2, 3}).build(), Rules());
  ASSERT_EQ(result.status, RewriteStatus::kDone);
  const Bytes tail(result.bytes.end() - 11, result.bytes.end());
  EXPECT_EQ(tail, (Bytes{'X', 'T', 'R', 'A', 0, 0, 0, 3, 1, 2, 3}));
  const Bytes trackEnd(result.bytes.end() - 14, result.bytes.end() - 11);
  EXPECT_EQ(trackEnd, (Bytes{0xFF, 0x2F, 0x00}));
}

TEST(SmfRewrite, ProgressIsToldPerTrackAndCanStop) {
  std::vector<int> told;
  const Rewritten done = rewrite(twoChannelSong(), Rules(), [&told](int percent) {
    told.push_back(percent);
    return true;
  });
  EXPECT_EQ(done.status, RewriteStatus::kDone);
  EXPECT_EQ(told, (std::vector<int>{0, 33, 66}));
  const Rewritten stopped = rewrite(twoChannelSong(), Rules(), [](int percent) { return percent < 30; });
  EXPECT_EQ(stopped.status, RewriteStatus::kStopped);
  EXPECT_TRUE(stopped.bytes.empty());
}

class SmfRewriteInvalid : public ::testing::TestWithParam<Bytes> {};

TEST_P(SmfRewriteInvalid, IsRefused) {
  EXPECT_EQ(rewrite(GetParam(), Rules()).status, RewriteStatus::kInvalidFile);
}

Bytes withTrack(const Bytes& events) {
  return SmfWriter(0, 48).chunk("MTrk", events).build();
}

INSTANTIATE_TEST_SUITE_P(
    Files, SmfRewriteInvalid,
    ::testing::Values(Bytes{}, Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 48},
                      Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 3, 0, 1, 0, 48},  // format 3
                      Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 0},               // short header
                      SmfWriter(0, 48).build(),                                  // no track
                      withTrack({0x00, 0x3C, 0x40}),                             // data without a status
                      withTrack({0x00, 0x90, 0x3C}),                             // cut off
                      withTrack({0x00, 0x90, 0x3C, 0x80}),                       // a status as data
                      withTrack({0x00, 0xF2, 0x00, 0x00}),                       // a system message
                      withTrack({0x00, 0xFF, 0x03, 0x05, 'a'}),                  // meta longer than the track
                      withTrack({0x00, 0xF0, 0x85, 0x80, 0x80, 0x80, 0x00}),     // a length of five bytes
                      withTrack({0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40})),
    [](const ::testing::TestParamInfo<Bytes>& info) { return "file" + std::to_string(info.index); });

}  // namespace
}  // namespace smfk32
