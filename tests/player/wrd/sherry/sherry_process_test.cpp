// The processor's life: header checks, reset, timing, flushing, the end and errors that end it.

#include <gtest/gtest.h>

#include "player/wrd/script_lookup.h"
#include "tests/player/wrd/sherry/sherry_fixture.h"
#include "tests/support/test_support.h"

namespace volta::wrd::sherry::test {
namespace {

using State = SProcessWRD::State;

TEST_F(SherryTest, HeaderIsCheckedWhenOpening) {
  Bytes good = SherryWriter().end().bytes();
  EXPECT_TRUE(processor.openBuffer(good, directory));
  EXPECT_EQ(processor.state(), State::kOpened);

  Bytes wrongId = good;
  wrongId[0] = 's';
  EXPECT_FALSE(processor.openBuffer(wrongId, directory));
  EXPECT_EQ(processor.lastError(), "00000000: Invalid file id");
  EXPECT_EQ(processor.state(), State::kClosed);

  Bytes unpadded = good;
  unpadded[11] = 'X';
  EXPECT_FALSE(processor.openBuffer(unpadded, directory));

  EXPECT_FALSE(processor.openBuffer(SherryWriter().version(1).end().bytes(), directory));
  EXPECT_EQ(processor.lastError(), "0000000C: Cannot read a newer version format");

  EXPECT_FALSE(processor.openBuffer(Bytes(good.begin(), good.begin() + 14), directory));
  EXPECT_EQ(processor.lastError(), "0000000C: Unexpected reached end of file");
  EXPECT_EQ(errors.size(), 4u);
}

TEST_F(SherryTest, OpenFileReadsTheFileAndKeepsItsFolder) {
  volta::test::TempDir dir;
  volta::test::writeFile(dir / "song.sry", SherryWriter().event(0x21, ids({3})).startTiming().wait(5).end().bytes());
  EXPECT_TRUE(isSherryScriptPath(dir / "song.SRY"));
  EXPECT_FALSE(isSherryScriptPath(dir / "song.wrd"));
  ASSERT_TRUE(processor.openFile(dir / "song.sry"));
  EXPECT_EQ(processor.directory(), dir.path());
  ASSERT_TRUE(processor.reset());
  EXPECT_NE(processor.palettes().find(3), nullptr);

  EXPECT_FALSE(processor.openFile(dir / "missing.sry"));
  EXPECT_EQ(processor.state(), State::kClosed);
  EXPECT_TRUE(processor.process(100));  // nothing loaded: it waits
}

TEST_F(SherryTest, MisuseIsReportedAndEndsTheScript) {
  EXPECT_FALSE(processor.reset());
  EXPECT_EQ(processor.lastError(), "Internal: Reset() called before OpenFile()");
  EXPECT_EQ(processor.state(), State::kClosed);

  ASSERT_TRUE(processor.openBuffer(SherryWriter().end().bytes(), directory));
  EXPECT_TRUE(processor.process(10));
  EXPECT_EQ(processor.lastError(), "Internal: Process() called before Reset(), OpenFile()");
  EXPECT_EQ(processor.state(), State::kEnded);
}

TEST_F(SherryTest, HeaderGivesTheTimebaseAndSkipsOtherEvents) {
  SherryWriter writer(-1);
  writer.headerEvent(0x30, Params().u16(0).u16(0x2000).u8(0)).headerEvent(0x20, Params().u16(96).u16(7));
  writer.end();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(processor.fileTimebase(), 96);
}

TEST(SherryTime, SongTicksScaleToTheFileTimebase) {
  EXPECT_EQ(sherryTime(96, 480, 96), 120);
  EXPECT_EQ(sherryTime(95, 480, 96), 118);
  EXPECT_EQ(sherryTime(480, 48, 480), 12);
  EXPECT_EQ(sherryTime(1000, 0, 96), 1000);  // no file timebase: song ticks as they are
}

TEST_F(SherryTest, SongTicksDriveTheScriptThroughItsTimebase) {
  SherryWriter writer = withScreen();
  writer.startTiming().wait(119).event(0x52, box(1, 0, 0, 0, 0, 0, 9)).wait(1).end();
  ASSERT_TRUE(processor.openBuffer(writer.bytes(), directory));
  ASSERT_TRUE(processor.reset(96));
  EXPECT_EQ(processor.currentTime(), 119);
  processor.processTick(95);  // time 118
  EXPECT_EQ(screen(1).at(0, 0), 0);
  processor.processTick(96);  // time 120
  EXPECT_EQ(screen(1).at(0, 0), 9);
  EXPECT_EQ(processor.currentTime(), 120);
}

TEST_F(SherryTest, EventsBeforeTheStartOfTimingRunAtOnce) {
  SherryWriter writer;
  writer.event(0x21, ids({1})).wait(1000).event(0x21, ids({2})).wait(50).startTiming().wait(10);
  writer.event(0x21, ids({3})).wait(10).end();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(processor.state(), State::kTiming);
  EXPECT_EQ(processor.currentTime(), 10);
  EXPECT_NE(processor.palettes().find(2), nullptr);
  EXPECT_EQ(processor.palettes().find(3), nullptr);

  EXPECT_TRUE(processor.process(10));  // an event at time T runs once the time passes T
  EXPECT_EQ(processor.palettes().find(3), nullptr);
  EXPECT_TRUE(processor.process(11));
  EXPECT_NE(processor.palettes().find(3), nullptr);
  EXPECT_EQ(processor.currentTime(), 20);
}

TEST_F(SherryTest, OutputWaitsForTheNextNonZeroDelta) {
  RecordingScreen recorder;
  SProcessWRD recorded(recorder);
  SherryWriter writer = withScreen(640, 480);
  writer.startTiming().wait(1);
  writer.event(0x31, ids({1})).event(0x36, showRect(1, 0, 0, 0, 0, 8, 8));
  writer.event(0x36, showRect(1, 0, 0, 8, 0, 8, 8)).wait(5).end();
  ASSERT_TRUE(recorded.openBuffer(writer.bytes(), directory));
  ASSERT_TRUE(recorded.reset());
  EXPECT_EQ(recorder.calls, std::vector<std::string>{"refresh"});  // the delta after the start
  recorder.calls.clear();
  EXPECT_TRUE(recorded.process(2));
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"colours 0", "rect 0,0", "rect 8,0", "refresh"}));
  recorder.calls.clear();
  EXPECT_FALSE(recorded.process(7));  // the end event
  EXPECT_EQ(recorder.calls, std::vector<std::string>{"refresh"});
}

TEST_F(SherryTest, EndEventReleasesEverythingAndLaterCallsWait) {
  SherryWriter writer = withScreen();
  writer.startTiming().wait(4).end();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(processor.screens().count(), 1u);
  EXPECT_FALSE(processor.process(5));
  EXPECT_EQ(processor.state(), State::kEnded);
  EXPECT_EQ(processor.screens().count(), 0u);
  EXPECT_EQ(processor.palettes().count(), 0u);
  EXPECT_TRUE(processor.process(6));
  EXPECT_TRUE(processor.lastError().empty());

  ASSERT_TRUE(processor.reset());  // a new start after the end
  EXPECT_EQ(processor.state(), State::kTiming);
  EXPECT_EQ(processor.screens().count(), 1u);
}

TEST_F(SherryTest, ResetStartsOverFromAnyPoint) {
  SherryWriter writer = withScreen();
  writer.startTiming().wait(1).event(0x52, box(1, 0, 0, 0, 3, 3, 5)).wait(100).end();
  ASSERT_TRUE(load(writer));
  processor.process(50);
  EXPECT_EQ(screen(1).at(3, 3), 5);
  ASSERT_TRUE(processor.reset());
  EXPECT_EQ(screen(1).at(3, 3), 0);  // objects were released and made anew
  EXPECT_EQ(processor.currentTime(), 1);
}

TEST_F(SherryTest, ExtraParameterBytesAreSkipped) {
  SherryWriter writer = withScreen();
  writer.event(0x31, Params().u16(1).u8(0x52).u8(0xFF).u8(0xFF)).event(0x21, ids({2})).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_NE(processor.palettes().find(2), nullptr);
  EXPECT_TRUE(processor.lastError().empty());
}

TEST_F(SherryTest, ParametersMayRunIntoTheFollowingBytes) {
  // A length shorter than the handler reads: the palette id is taken from the delta byte and
  // the next event's length, and the stream goes back to the end of the declared length.
  SherryWriter writer;
  writer.event(0x21, ids({0x0301})).rawEvent({0x01, 0x31}).wait(1).event(0x21, ids({7})).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_NE(processor.palettes().find(7), nullptr);
}

TEST_F(SherryTest, StreamFaultsEndTheScriptWithTheirOffset) {
  SherryWriter unknown = withScreen();
  const std::size_t unknownAt = nextEventOffset(unknown);
  unknown.event(0x70).end();
  EXPECT_EQ(errorAfter(unknown), hex8(unknownAt) + ": Unknown event");

  SherryWriter longNumber = withScreen();
  const std::size_t numberAt = nextEventOffset(longNumber);
  longNumber.rawEvent({0x81, 0x81, 0x81, 0x01});
  EXPECT_EQ(errorAfter(longNumber), hex8(numberAt) + ": Invalid variable number format");

  SherryWriter zeroLength = withScreen();
  const std::size_t zeroAt = nextEventOffset(zeroLength);
  zeroLength.rawEvent({0x00, 0x21}).end();
  EXPECT_EQ(errorAfter(zeroLength), hex8(zeroAt) + ": Invalid event length");

  SherryWriter truncated = withScreen();
  const std::size_t cutAt = nextEventOffset(truncated);
  truncated.rawEvent({0x05, 0x31, 0x01});
  Bytes cut = truncated.bytes();
  cut.pop_back();  // the delta
  ASSERT_TRUE(processor.openBuffer(cut, directory));
  EXPECT_FALSE(processor.reset());
  EXPECT_EQ(processor.lastError(), hex8(cutAt) + ": Unexpected reached end of file");
}

TEST_F(SherryTest, AnErrorStopsOnlyItsScript) {
  SherryWriter bad = withScreen();
  bad.startTiming().wait(1).event(0x31, ids({9})).wait(1).event(0x21, ids({2})).end();
  ASSERT_TRUE(load(bad));

  RecordingScreen otherScreen;
  SProcessWRD other(otherScreen);
  SherryWriter good = withScreen();
  good.startTiming().wait(1).event(0x21, ids({2})).wait(1).end();
  ASSERT_TRUE(other.openBuffer(good.bytes(), directory));
  ASSERT_TRUE(other.reset());

  EXPECT_TRUE(processor.process(100));
  EXPECT_EQ(processor.state(), State::kEnded);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(processor.palettes().find(2), nullptr);  // nothing after the fault ran
  EXPECT_TRUE(processor.process(200));
  EXPECT_EQ(errors.size(), 1u);

  EXPECT_TRUE(other.process(2));
  EXPECT_NE(other.palettes().find(2), nullptr);
  EXPECT_EQ(other.state(), State::kTiming);
}

}  // namespace
}  // namespace volta::wrd::sherry::test
