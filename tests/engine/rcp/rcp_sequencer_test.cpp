// RCP and G36 songs played by the engine through its command protocol onto the trace
// device, on the manual clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "converter/morph.h"
#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"
#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/support/rcp_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::test {
namespace {

using ::testing::ElementsAre;

struct Line {
  std::uint64_t us = 0;
  std::string text;  // "A 90 3C 64"
};

class RcpEngine : public ::testing::TestWithParam<bool> {
 protected:
  RcpEngine() : tracePath_((dir_ / "trace.txt").string()) {
    setenv(platform::midi::kTraceEnvironmentVariable, tracePath_.c_str(), 1);
    output_ = h_.openOutput(0);  // the trace device
    EXPECT_NE(output_, 0u);
  }
  ~RcpEngine() override {
    if (song_) h_.closeSequencer(song_);
    h_.simple(protocol::kCloseOutput, output_);
    unsetenv(platform::midi::kTraceEnvironmentVariable);
  }

  bool g36() const { return GetParam(); }
  std::uint16_t fileType() const { return g36() ? protocol::kFileG36 : protocol::kFileRCP; }
  std::uint32_t openSong() {
    song_ = h_.open(writer.build(), output_, fileType());
    return song_;
  }
  // Plays the song from the start for `ms` milliseconds; the messages it sent.
  std::vector<Line> playFor(std::uint64_t ms) {
    const std::size_t before = lines().size();
    h_.startSong(song_);
    for (std::uint64_t t = 0; t < ms; t += 5)
      h_.advance(5);
    std::vector<Line> all = lines();
    return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
  }
  std::vector<Line> lines() const {
    std::vector<Line> out;
    for (const TraceLine& line : readTrace(tracePath_))
      out.push_back({line.time, std::string(1, line.port) + " " + line.bytes});
    return out;
  }
  static std::vector<std::string> notes(const std::vector<Line>& lines) {
    std::vector<std::string> out;
    for (const Line& l : lines) {
      if (l.text[2] == '9' || l.text[2] == '8') out.push_back(l.text);
    }
    return out;
  }

  TempDir dir_;
  std::string tracePath_;
  SequencerHarness h_;
  std::uint32_t output_ = 0;
  std::uint32_t song_ = 0;
  RcpWriter writer{GetParam()};
};

TEST_P(RcpEngine, PrepareGivesTitleMemoAndFileType) {
  writer.title = "Engine Song   ";
  writer.memo = g36() ? std::string(30, 'm') + std::string(30, 'n') : std::string(28, 'm') + std::string(28, 'n');
  writer.timeBase = 96;
  writer.key = 0x1B;
  writer.addTrack().add(0x3C, 96, 40, 100).end();
  ASSERT_NE(openSong(), 0u);
  EXPECT_EQ(h_.prepare(song_), 1u);
  const protocol::PrepareCommand& reply = h_.prepared();
  EXPECT_STREQ(reply.title, "Engine Song");
  const std::string memo(reply.comment, 60);
  // RCP memo lines are 28 bytes: the engine pads them to 30 with a space each side.
  const std::string rcpMemo = " " + std::string(28, 'm') + "  " + std::string(28, 'n') + " ";
  EXPECT_EQ(memo, g36() ? std::string(30, 'm') + std::string(30, 'n') : rcpMemo);
  EXPECT_EQ(value(h_.status().smfFormat), g36() ? 11 : 10);
  EXPECT_EQ(value(h_.status().timeBase), 96);
  EXPECT_EQ(value(h_.status().key), 0x1B);
  EXPECT_EQ(value(h_.status().tempo), 500000u);
}

TEST_P(RcpEngine, FileTypeCodesOfTheVariants) {
  writer.trackCountByte = 0;
  writer.marker = true;
  writer.addTrack().end();
  ASSERT_NE(openSong(), 0u);
  h_.prepare(song_);
  EXPECT_EQ(value(h_.status().smfFormat), g36() ? 11 : 9);  // G36: zero tracks, so no marker either
}

TEST_P(RcpEngine, PlaysNotesOnTheirPortsInTime) {
  writer.addTrack(0x00).add(0x3C, 48, 24, 100).add(0x3E, 48, 24, 90).end();
  writer.addTrack(0x11).add(0x40, 96, 48, 80).end();
  writer.addTrack(0x02).add(0x43, 48, 24, 100).end().muted = true;
  ASSERT_NE(openSong(), 0u);
  const std::vector<Line> played = playFor(3000);
  // Within a tick the tracks take their turn in order.
  EXPECT_THAT(notes(played),
              ElementsAre("A 90 3C 64", "B 91 40 50", "A 90 3C 00", "A 90 3E 5A", "B 91 40 00", "A 90 3E 00"));
  // 48 ticks at 120 quarter notes per minute and 48 ticks each: half a second.
  std::uint64_t first = 0, second = 0;
  for (const Line& l : played) {
    if (l.text == "A 90 3C 64") first = l.us;
    if (l.text == "A 90 3E 5A") second = l.us;
  }
  EXPECT_NEAR(static_cast<double>(second - first), 500000.0, 20000.0);
}

TEST_P(RcpEngine, TempoChangeAndLengthScan) {
  writer.addTrack().add(0xE7, 0, 96).add(0x3C, 192, 24, 100).end();
  ASSERT_NE(openSong(), 0u);
  h_.prepare(song_);
  const protocol::ScanLengthCommand scan = h_.scan(song_);
  EXPECT_EQ(value(scan.error), 0);
  EXPECT_EQ(value(h_.status().tempo), 333333u);
  // 192 ticks of 333333 / 10 / 48 time units; the tick on which the song ends adds none.
  EXPECT_EQ(value(scan.totalTime), 192u * 694u);
}

TEST_P(RcpEngine, UserExclusiveAndRolandParameter) {
  writer.userExclusive[0] = {0x41, 0x10, 0x42, 0x12, 0x83, 0x40, 0x00, 0x7F, 0x00, 0x84, 0xF7};
  writer.addTrack().add(0x90, 4).add(0xDE, 4, 0x7F, 0x00).add(0x3C, 4, 2, 100).end();
  ASSERT_NE(openSong(), 0u);
  const std::vector<Line> played = playFor(1000);
  std::vector<std::string> exclusives;
  for (const Line& l : played) {
    if (l.text.rfind("A F0", 0) == 0) exclusives.push_back(l.text);
  }
  EXPECT_THAT(exclusives,
              ::testing::IsSupersetOf({"A F0 41 10 42 12 40 00 7F 00 41 F7", "A F0 41 10 16 12 10 00 7F 00 71 F7"}));
}

TEST_P(RcpEngine, LoopNestedTooDeepIsError13) {
  auto& t = writer.addTrack();
  for (int i = 0; i < 9; ++i)
    t.add(0xF9, 0);
  t.add(0x3C, 4, 2, 100).end();
  ASSERT_NE(openSong(), 0u);
  h_.prepare(song_);
  EXPECT_EQ(value(h_.scan(song_).error), protocol::kErrLoopNesting);
}

TEST_P(RcpEngine, RecordsWithoutTimeAreError12) {
  writer.addTrack().add(0xF9, 0).add(0xF8, 0).end();
  ASSERT_NE(openSong(), 0u);
  h_.prepare(song_);
  h_.scan(song_);
  h_.status().playControl.repeatCount = 0;
  playFor(100);
  EXPECT_EQ(value(h_.status().error), protocol::kErrInfiniteLoop);
}

TEST_P(RcpEngine, TruncatedHeaderIsRefused) {
  writer.addTrack().end();
  auto bytes = writer.build();
  bytes.resize(100);
  song_ = h_.open(bytes, output_, fileType());
  ASSERT_NE(song_, 0u);
  EXPECT_EQ(h_.prepare(song_), 0u);
  EXPECT_EQ(value(h_.prepared().error), protocol::kErrChunkStructure);
}

TEST_P(RcpEngine, ConvertedSongPlaysTheSameNotes) {
  writer.addTrack(0x00)
      .add(0xEB, 0, 7, 90)
      .add(0xF9, 0)
      .add(0x3C, 24, 20, 100)
      .add(0x40, 24, 30, 90)
      .add(0xF8, 2)
      .end();
  writer.addTrack(0x01).add(0x43, 12, 60, 80).add(0xFD, 0).add(0x45, 36, 12, 70).add(0xFD, 0).end();
  writer.tracks[1].stepShift = 2;
  ASSERT_NE(openSong(), 0u);
  const std::vector<std::string> direct = notes(playFor(4000));
  h_.closeSequencer(song_);
  const std::vector<std::uint8_t> rcp = writer.build();
  void* converted = morphConvertFileFromBuffer(rcp.data(), static_cast<uint32_t>(rcp.size()), 0, 0, nullptr, 0, 0);
  ASSERT_NE(converted, nullptr);
  const std::uint8_t* smf = morphGetSMF(converted);
  song_ = h_.open(std::vector<std::uint8_t>(smf, smf + morphGetSMFLength(converted)), output_, protocol::kFileSMF);
  morphDeleteObject(converted);
  ASSERT_NE(song_, 0u);
  EXPECT_EQ(notes(playFor(4000)), direct);
  EXPECT_EQ(direct.size(), 12u);  // the last note of the loop ends after its gate too
}

TEST_P(RcpEngine, RealSongsPlay) {
  if (g36()) GTEST_SKIP() << "the corpus holds RCP files only";
  const auto dir = corpusDir("rcp");
  if (dir.empty()) GTEST_SKIP() << "no RCP corpus";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    song_ = h_.open(readFile(entry.path()), output_, fileType());
    ASSERT_NE(song_, 0u);
    EXPECT_EQ(h_.prepare(song_), 1u) << entry.path();
    const protocol::ScanLengthCommand scan = h_.scan(song_);
    EXPECT_EQ(value(scan.error), 0) << entry.path();
    EXPECT_GT(value(scan.totalTime), 0u) << entry.path();
    EXPECT_FALSE(notes(playFor(2000)).empty()) << entry.path();
    h_.closeSequencer(song_);
    song_ = 0;
  }
}

INSTANTIATE_TEST_SUITE_P(Families, RcpEngine, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "G36" : "RCP"; });

}  // namespace
}  // namespace volta::test
