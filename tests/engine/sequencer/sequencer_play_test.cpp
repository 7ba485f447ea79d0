// The sequencer's clock and commands without an output: speed codes, head skip,
// time overflow, the end of a song, pause, timer ownership and handles.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta::test {
namespace {

// A note at tick `first` lasting `length` ticks, at time base 48 and the default tempo.
Bytes noteSong(std::uint32_t first, std::uint32_t length) {
  SmfTrack track;
  track.program(0, 0, 5).noteOn(first, 0, 60, 100).noteOff(length, 0, 60).endOfTrack();
  return SmfWriter(1, 48).track(track).build();
}

std::uint32_t songTime(SequencerHarness& h) {
  return h.status().songTime;
}

// Song time added by one timer call at a period and speed code.
std::uint32_t advancePerCall(int speed, std::uint16_t period) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.setPeriod(handle, period);
  h.startSong(handle);
  h.status().playControl.speed = static_cast<std::int16_t>(speed);
  h.advance(period);
  const std::uint32_t before = songTime(h);
  h.advance(period);
  return songTime(h) - before;
}

TEST(SequencerClock, SpeedCodes) {
  EXPECT_EQ(advancePerCall(0, 10), 1000u);
  EXPECT_EQ(advancePerCall(1, 10), 1500u);
  EXPECT_EQ(advancePerCall(-1, 10), 750u);
  EXPECT_EQ(advancePerCall(2, 10), 2000u);
  EXPECT_EQ(advancePerCall(8, 10), 8000u);
  EXPECT_EQ(advancePerCall(-2, 10), 500u);
  EXPECT_EQ(advancePerCall(-3, 5), 166u);
  // A call that would add nothing still moves the song by one unit.
  EXPECT_EQ(advancePerCall(-1000, 5), 1u);
}

TEST(SequencerClock, TicksFollowTheSongTime) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.startSong(handle);
  h.advance(1000);  // 100000 units: ticks 0..96 are due (tick 96 starts at 99936)
  EXPECT_EQ(songTime(h), 100000u);
  EXPECT_EQ(value(h.status().position), 97u);
  EXPECT_EQ(value(h.status().measure), 0);
  EXPECT_EQ(value(h.status().tickInMeasure), 97u);
}

TEST(SequencerClock, HeadSkipRunsTheLeadInAtOnceThenEightTimesFast) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(480, 48));
  h.startSong(handle);
  h.status().playControl.headSkip = 1;
  h.advance(5);
  // The first call steps through the lead-in up to the first note (tick 480), then
  // runs its own 5 ms, in which tick 481 falls due.
  EXPECT_EQ(value(h.status().position), 482u);
  EXPECT_EQ(songTime(h), 481u * 1041u + 500u);

  // A seek back into the lead-in: the rest of it runs eight times fast.
  h.pause(handle);
  h.seek(handle, 240 * 1041);
  h.play(handle);
  const std::uint32_t before = songTime(h);
  h.advance(5);
  EXPECT_EQ(songTime(h) - before, 4000u);
}

TEST(SequencerClock, HeadSkipOffWaitsForTheLeadIn) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(480, 48));
  h.startSong(handle);
  h.advance(5);
  EXPECT_EQ(songTime(h), 500u);
  EXPECT_EQ(value(h.status().position), 1u);
}

// Plays from the start until the song stops (or the given time has passed); returns where it stopped.
static std::uint32_t playToTheEnd(SequencerHarness& h, std::uint32_t handle, std::uint64_t ms) {
  h.seek(handle, 0);
  h.play(handle);
  for (std::uint64_t waited = 0; waited < ms && h.status().playing != 0; waited += 100)
    h.advance(100);
  return songTime(h);
}

TEST(SequencerClock, AnEventBeyondTheSongTimeEndsTheSongWhereTheScanSays) {
  SequencerHarness h;
  SmfTrack track;
  // The slowest tempo at time base 1: 1677721 units a tick; 5000 ticks overflow.
  track.tempo(0, 0xFFFFFF).noteOn(0, 0, 60, 100).noteOff(5000, 0, 60).endOfTrack();
  const std::uint32_t handle = h.open(SmfWriter(1, 1).track(track).build());
  const auto scanned = h.scan(handle);
  EXPECT_EQ(value(scanned.error), protocol::kErrTimeOverflow);
  const std::uint32_t end = playToTheEnd(h, handle, 60'000);
  EXPECT_EQ(value(h.status().playing), 0);
  EXPECT_EQ(value(h.status().error), protocol::kErrTimeOverflow);
  EXPECT_LE(end, value(scanned.totalTime) + 1000);
  // Frozen there.
  h.advance(50);
  EXPECT_EQ(songTime(h), end);
}

// Files found in the wild whose scan said 00:21 while playback went on for hours.
TEST(SequencerClock, HostileSongsEndByTheirScannedLength) {
  const auto dir = corpusDir("hostile");
  if (dir.empty()) GTEST_SKIP() << "no hostile corpus";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    SequencerHarness h;
    const std::uint32_t handle = h.open(readFile(entry.path()));
    h.prepare(handle);
    const std::uint32_t total = h.scan(handle).totalTime;
    EXPECT_LE(playToTheEnd(h, handle, total / 100 + 60'000), total + 1000) << entry.path();
    EXPECT_EQ(value(h.status().playing), 0) << entry.path();
  }
}

TEST(SequencerClock, EndOfSongClearsPlayingAndStopsTheClock) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48));
  h.startSong(handle);
  EXPECT_EQ(value(h.status().playing), 1);
  h.advance(600);  // the song lasts 48 ticks, about 500 ms
  EXPECT_EQ(value(h.status().playing), 0);
  const std::uint32_t end = songTime(h);
  EXPECT_EQ(value(h.status().position), 48u);
  h.advance(100);
  EXPECT_EQ(songTime(h), end);
  // Playing again without a seek does nothing audible.
  h.play(handle);
  h.advance(100);
  EXPECT_EQ(songTime(h), end);
}

TEST(SequencerClock, ClockCountsFromThePlayCommand) {
  SequencerHarness h;
  h.clock().advanceMilliseconds(100000);  // long before the song was opened
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.startSong(handle);  // no timer call between opening and playing
  h.advance(5);
  EXPECT_EQ(songTime(h), 500u);
}

TEST(SequencerClock, PauseHoldsTheSongAndPlayGoesOn) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.startSong(handle);
  h.advance(100);
  EXPECT_EQ(h.pause(handle), 1u);
  EXPECT_EQ(value(h.status().paused), 1);
  const std::uint32_t held = songTime(h);
  h.advance(100);
  EXPECT_EQ(songTime(h), held);
  h.play(handle);
  EXPECT_EQ(value(h.status().paused), 0);
  h.advance(100);
  EXPECT_EQ(songTime(h), held + 10000u);
}

TEST(SequencerClock, SeekForwardChasesFromThePosition) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.startSong(handle);
  h.advance(100);
  h.pause(handle);
  h.seek(handle, 96 * 1041);
  EXPECT_EQ(value(h.status().position), 96u);
  EXPECT_EQ(songTime(h), 96u * 1041u);
  h.seek(handle, 48 * 1041);  // backwards: rebuilt from the start
  EXPECT_EQ(value(h.status().position), 48u);
  EXPECT_EQ(songTime(h), 48u * 1041u);
  // Across measures: the same counters as tick by tick.
  h.seek(handle, 400 * 1041 - 500);
  EXPECT_EQ(value(h.status().position), 400u);
  EXPECT_EQ(songTime(h), 400u * 1041u);
  EXPECT_EQ(value(h.status().measure), 2);
  EXPECT_EQ(value(h.status().tickInMeasure), 16u);
  EXPECT_EQ(value(h.status().measureTable[2]), 384u);
}

TEST(SequencerClock, LongSilenceIsPassedInOneGo) {
  SequencerHarness h;
  SmfTrack track;
  // Ticks of one unit and a silence of 2^28 ticks without any note.
  track.tempo(0, 0).controller(0, 0, 7, 100).endOfTrack(0x0FFFFFFF);
  const std::uint32_t handle = h.open(SmfWriter(1, 48).track(track).build());
  h.startSong(handle);
  h.status().playControl.headSkip = 1;
  h.advance(5);  // the head skip runs to the end of the song at once
  EXPECT_EQ(value(h.status().playing), 0);
  EXPECT_EQ(value(h.status().position), 0x0FFFFFFFu);
  h.seek(handle, 0x0FFFFFF0u);  // and so does a chase
  EXPECT_EQ(value(h.status().position), 0x0FFFFFF0u);
  EXPECT_EQ(songTime(h), 0x0FFFFFF0u);
}

TEST(SequencerTimer, OneSequencerOwnsTheTimer) {
  SequencerHarness h;
  const std::uint32_t first = h.open(noteSong(0, 48 * 100));
  EXPECT_EQ(h.timers().activeTimers(), 1u);
  const std::uint32_t second = h.open(noteSong(0, 48 * 100));
  EXPECT_EQ(h.timers().activeTimers(), 1u);
  // The second one scans but does not play.
  EXPECT_EQ(value(h.scan(second).totalTime), 4800u * 1041u);
  h.startSong(second);
  h.advance(100);
  EXPECT_EQ(songTime(h), 0u);
  h.closeSequencer(first);
  EXPECT_EQ(h.timers().activeTimers(), 0u);
  h.open(noteSong(0, 48));
  EXPECT_EQ(h.timers().activeTimers(), 1u);
}

TEST(SequencerTimer, PeriodCommandRestartsTheTimer) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48 * 100));
  h.startSong(handle);
  h.status().playControl.speed = -1000;  // every call adds max(elapsed / 10, 1)
  h.advance(100);
  EXPECT_EQ(songTime(h), 20u);  // 20 calls of 5 ms
  EXPECT_EQ(h.setPeriod(handle, 20), 1u);
  h.advance(100);
  EXPECT_EQ(songTime(h), 30u);            // 5 calls of 20 ms
  EXPECT_EQ(h.setPeriod(handle, 0), 1u);  // ignored: the clock must not stop
  h.advance(100);
  EXPECT_EQ(songTime(h), 40u);
}

TEST(SequencerCommands, OpenRefusesUnknownTypesAndBadOutputs) {
  SequencerHarness h;
  for (std::uint16_t type : {0, 3, 7}) {
    EXPECT_EQ(h.open(noteSong(0, 48), 0, type), 0u) << type;
    EXPECT_EQ(value(h.reply<protocol::OpenSequencerCommand>().header.handle), 0u);
    EXPECT_EQ(value(h.reply<protocol::OpenSequencerCommand>().error), protocol::kErrOpenFailed);
  }
  EXPECT_EQ(h.open(noteSong(0, 48), 0x1234), 0u);
  EXPECT_EQ(value(h.reply<protocol::OpenSequencerCommand>().error), protocol::kErrOpenFailed);
}

TEST(SequencerCommands, OpenThatCannotAllocateIsError8) {
  SequencerHarness h;
  auto& c = h.command<protocol::OpenSequencerCommand>(protocol::kOpenSequencer);
  c.fileType = protocol::kFileSMF;
  c.dataSize = 0xFFFFFFF0u;
  EXPECT_EQ(h.run(), 0u);
  EXPECT_EQ(value(h.reply<protocol::OpenSequencerCommand>().header.handle), 0u);
  EXPECT_EQ(value(h.reply<protocol::OpenSequencerCommand>().error), protocol::kErrNoMemory);
  EXPECT_EQ(h.timers().activeTimers(), 0u);
}

TEST(SequencerCommands, OpenGivesTheSharedBlocks) {
  SequencerHarness h;
  const Bytes song = noteSong(0, 48);
  const std::uint32_t handle = h.open(song);
  ASSERT_NE(handle, 0u);
  const auto reply = h.reply<protocol::OpenSequencerCommand>();
  EXPECT_EQ(value(reply.header.handle), handle);
  EXPECT_EQ(value(reply.error), 0);
  EXPECT_EQ(value(reply.playControl), reply.status + 41);
  EXPECT_EQ(value(reply.measureTable), reply.status + 49);
  EXPECT_EQ(value(h.status().playControl.repeatCount), 2);
  EXPECT_EQ(value(h.status().timeBase), 48);
  EXPECT_EQ(value(h.status().tempo), 500000u);
  EXPECT_EQ(value(h.status().ticksPerMeasure), 192u);
  const auto* data = platform::fromLowAddress<std::uint8_t>(reply.data);
  for (std::size_t i = song.size(); i < song.size() + 2048; ++i)
    ASSERT_EQ(data[i], 0) << i;
}

TEST(SequencerCommands, StaleHandlesAreRefused) {
  SequencerHarness h;
  const std::uint32_t handle = h.open(noteSong(0, 48));
  EXPECT_EQ(h.simple(35, handle), 0u);  // no such command
  EXPECT_EQ(h.closeSequencer(handle), 1u);
  for (std::uint32_t code : {33, 34, 36, 37, 38, 39, 40})
    EXPECT_EQ(h.simple(code, handle), 0u) << code;
  EXPECT_EQ(h.simple(protocol::kPlay, 0), 0u);
}

}  // namespace
}  // namespace volta::test
