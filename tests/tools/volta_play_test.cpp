// volta-play end to end: a separate process loads the engine by name and plays to the trace device.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta {
namespace {

int run(const std::string& command) {
  return WEXITSTATUS(std::system(command.c_str()));
}

TEST(VoltaPlay, PlaysTheDemoSongToTheTrace) {
  test::TempDir dir;
  const auto trace = dir / "trace.txt";
  const auto out = dir / "out.txt";
  const auto demo = test::sourceDir() / "player/resources/demo.mid";
  ASSERT_EQ(run("VOLTA_MIDI_TRACE=" + trace.string() + " " + (test::binDir() / "volta-play").string() +
                " --device Trace --speed 8 " + demo.string() + " > " + out.string()),
            0);
  EXPECT_NE(test::readText(out).find("Title: VOLTA Player demo"), std::string::npos);
  const auto lines = test::readTrace(trace);
  ASSERT_GT(lines.size(), 100u);
  // The greeting first, then the song's GS reset, before any note.
  EXPECT_EQ(lines[0].bytes.substr(0, 20), "F0 41 10 45 12 10 00");
  std::size_t reset = 0, firstNote = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!reset && lines[i].bytes == "F0 41 10 42 12 40 00 7F 00 41 F7") reset = i;
    if (!firstNote && lines[i].bytes.rfind("9", 0) == 0) firstNote = i;
  }
  EXPECT_GT(reset, 0u);
  EXPECT_GT(firstNote, reset);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_GE(lines[i].time, lines[i - 1].time);
    EXPECT_EQ(lines[i].port, 'A');
  }
  // 21.6 s of music at eight times speed.
  EXPECT_GT(lines.back().time, 2'000'000u);
  EXPECT_LT(lines.back().time, 6'000'000u);
}

TEST(VoltaPlay, ReportsUnknownFilesWithThePlayersMessage) {
  test::TempDir dir;
  const auto song = dir / "song.txt";
  test::writeFile(song, {1, 2, 3});
  const auto err = dir / "err.txt";
  EXPECT_EQ(run((test::binDir() / "volta-play").string() + " --trace " + (dir / "trace.txt").string() + " " +
                song.string() + " 2> " + err.string()),
            1);
  EXPECT_NE(test::readText(err).find("ERROR:Not midi file clealy"), std::string::npos);
}

TEST(VoltaPlay, ADeviceThatDoesNotOpenEndsAtOnceWithItsOwnStatus) {
  test::TempDir dir;
  const auto err = dir / "err.txt";
  const auto demo = test::sourceDir() / "player/resources/demo.mid";
  EXPECT_EQ(run((test::binDir() / "volta-play").string() + " --device 9999 " + demo.string() + " > /dev/null 2> " +
                err.string()),
            3);
  EXPECT_NE(test::readText(err).find("did not open"), std::string::npos);
}

}  // namespace
}  // namespace volta
