// Songs played through a real output onto the trace device, on the manual clock:
// what is sent, in which order, on which port and when.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"
#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::test {
namespace {

class SequencerOutputTest : public ::testing::Test {
 protected:
  SequencerOutputTest() : tracePath_((dir_ / "trace.txt").string()) {
    setenv(platform::midi::kTraceEnvironmentVariable, tracePath_.c_str(), 1);
    output_ = h_.openOutput(0);  // the trace device
    EXPECT_NE(output_, 0u);
    shared_ = platform::fromLowAddress<protocol::OutputShared>(h_.reply<protocol::OpenOutputCommand>().panel);
    skip();
  }
  ~SequencerOutputTest() override {
    if (song_) h_.closeSequencer(song_);
    h_.simple(protocol::kCloseOutput, output_);
    unsetenv(platform::midi::kTraceEnvironmentVariable);
  }

  std::uint32_t openSong(const Bytes& song) {
    song_ = h_.open(song, output_);
    return song_;
  }

  std::vector<TraceLine> allLines() const { return readTrace(tracePath_); }
  // Lines written since the last call.
  std::vector<TraceLine> newLines() {
    auto lines = allLines();
    std::vector<TraceLine> fresh(lines.begin() + static_cast<std::ptrdiff_t>(seen_), lines.end());
    seen_ = lines.size();
    return fresh;
  }
  void skip() { newLines(); }

  static std::vector<std::string> messages(const std::vector<TraceLine>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
      out.push_back(std::string(1, line.port) + " " + line.bytes);
    return out;
  }
  static bool hasNotes(const std::vector<TraceLine>& lines) {
    for (const auto& line : lines) {
      if (line.bytes[0] == '8' || line.bytes[0] == '9') return true;
    }
    return false;
  }

  TempDir dir_;
  std::string tracePath_;
  SequencerHarness h_;
  std::uint32_t output_ = 0;
  std::uint32_t song_ = 0;
  protocol::OutputShared* shared_ = nullptr;
  std::size_t seen_ = 0;
};

TEST_F(SequencerOutputTest, SongAtSpeed8SendsItsMessagesInOrderAndInTime) {
  SmfTrack conductor;
  conductor.trackName(0, "Speed").tempo(0, 500000).endOfTrack();
  SmfTrack notes;
  notes.program(0, 0, 10).controller(0, 0, 7, 90);
  for (int k = 0; k < 8; ++k)
    notes.noteOn(k == 0 ? 0 : 24, 0, 60 + k, 100).noteOff(24, 0, 60 + k);
  notes.endOfTrack();
  const std::uint32_t handle = openSong(SmfWriter(1, 48).track(conductor).track(notes).build());
  h_.startSong(handle);
  h_.status().playControl.speed = 8;
  h_.advance(1000);
  EXPECT_EQ(value(h_.status().playing), 0);

  const auto lines = newLines();
  std::vector<std::string> expected{"A C0 0A", "A B0 07 5A"};
  char buffer[32];
  for (int k = 0; k < 8; ++k) {
    std::snprintf(buffer, sizeof buffer, "A 90 %02X 64", 60 + k);
    expected.push_back(buffer);
    std::snprintf(buffer, sizeof buffer, "A 80 %02X 00", 60 + k);
    expected.push_back(buffer);
  }
  ASSERT_EQ(messages(lines), expected);
  // At speed 8 the song runs 8 times 100 units a millisecond; the first running call
  // already covered 5 ms of song. Each message leaves in the call whose 5 ms period
  // contains the moment it falls due.
  const std::uint64_t start = lines[2].time;
  for (int k = 0; k < 16; ++k) {
    const std::uint64_t songUs = static_cast<std::uint64_t>(k) * 24 * 1041 * 10 / 8;
    const std::uint64_t sent = lines[2 + static_cast<std::size_t>(k)].time;
    EXPECT_GE(sent + 5000, start + songUs) << k;
    EXPECT_LT(sent, start + songUs + 5000) << k;
  }
}

Bytes seekSong() {
  SmfTrack track;
  track.program(0, 0, 5).controller(0, 0, 7, 100).noteOn(0, 0, 60, 100).noteOff(24, 0, 60);
  track.controller(72, 0, 7, 50).program(0, 0, 7).noteOn(0, 0, 62, 100).noteOff(24, 0, 62);
  track.noteOn(72, 0, 64, 100).noteOff(24, 0, 64).endOfTrack(24);
  return SmfWriter(1, 48).track(track).build();
}

TEST_F(SequencerOutputTest, SeekBackwardsRebuildsTheStateWithoutNotes) {
  const std::uint32_t handle = openSong(seekSong());
  h_.startSong(handle);
  h_.advance(2100);  // past tick 192: note 64 sounds
  EXPECT_EQ(shared_->channels[0][0].soundingCount, 1);
  skip();
  h_.pause(handle);
  h_.seek(handle, 150 * 1041);
  const auto afterSeek = newLines();
  EXPECT_FALSE(hasNotes(afterSeek));
  std::vector<std::string> chase;
  for (const auto& line : afterSeek) {
    if (line.bytes.rfind("B0 07", 0) == 0 || line.bytes[0] == 'C') chase.push_back(line.bytes);
  }
  EXPECT_EQ(chase, (std::vector<std::string>{"C0 05", "B0 07 64", "B0 07 32", "C0 07"}));
  EXPECT_EQ(shared_->channels[0][0].volume, 50);
  EXPECT_EQ(shared_->channels[0][0].program, 7);
  EXPECT_EQ(shared_->channels[0][0].soundingCount, 0);
  EXPECT_EQ(value(h_.status().position), 150u);

  h_.play(handle);
  h_.advance(1000);
  const auto resumed = messages(newLines());
  ASSERT_FALSE(resumed.empty());
  EXPECT_EQ(resumed.front(), "A 90 40 64");  // the notes before tick 150 are not played again
}

TEST_F(SequencerOutputTest, SeekForwardOnlyChases) {
  const std::uint32_t handle = openSong(seekSong());
  h_.startSong(handle);
  h_.advance(100);
  h_.pause(handle);
  skip();
  h_.seek(handle, 200 * 1041);
  const auto lines = newLines();
  EXPECT_FALSE(hasNotes(lines));
  std::vector<std::string> programs;
  for (const auto& line : lines) {
    if (line.bytes[0] == 'C') programs.push_back(line.bytes);
  }
  EXPECT_EQ(programs, std::vector<std::string>{"C0 07"});  // program 5 is not sent again
  EXPECT_EQ(value(h_.status().position), 200u);
}

TEST_F(SequencerOutputTest, ExclusivesOf4095BytesOrMoreAreSkipped) {
  const auto body = [](std::size_t size) {
    Bytes bytes(size, 0x01);
    bytes.front() = 0x7D;
    bytes.back() = 0xF7;
    return bytes;
  };
  SmfTrack track;
  track.sysex(0, body(4094)).sysex(0, body(4095)).escape(0, body(4095)).escape(0, body(4096)).endOfTrack(1);
  const std::uint32_t handle = openSong(SmfWriter(1, 48).track(track).build());
  h_.startSong(handle);
  h_.advance(50);
  const auto lines = newLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].bytes.size(), 4095u * 3 - 1);  // F0 and 4094 bytes
  EXPECT_EQ(lines[0].bytes.substr(0, 5), "F0 7D");
  EXPECT_EQ(lines[1].bytes.size(), 4095u * 3 - 1);  // 4095 bytes as they stand
  EXPECT_EQ(lines[1].bytes.substr(0, 2), "7D");
}

TEST_F(SequencerOutputTest, MessageCutByTheTrackEndIsNotSent) {
  SmfTrack track;
  track.noteOn(0, 0, 60, 100).noteOff(24, 0, 60).raw({0x00, 0x91, 0x3E});
  const std::uint32_t handle = openSong(SmfWriter(1, 48).track(track).build());
  h_.startSong(handle);
  h_.advance(500);
  EXPECT_EQ(messages(newLines()), (std::vector<std::string>{"A 90 3C 64", "A 80 3C 00"}));
  EXPECT_EQ(value(h_.status().playing), 0);
  EXPECT_EQ(value(h_.status().error), 0);
}

Bytes portSong() {
  SmfTrack first;
  first.port(0, 1).noteOn(0, 0, 60, 100).noteOff(1, 0, 60).endOfTrack();
  SmfTrack second;
  second.port(0, 5).noteOn(0, 1, 62, 100).noteOff(1, 1, 62).endOfTrack();
  SmfTrack third;
  third.noteOn(0, 2, 64, 100).noteOff(1, 2, 64).endOfTrack();
  return SmfWriter(1, 48).track(first).track(second).track(third).build();
}

std::string portsOfNoteOns(const std::vector<TraceLine>& lines) {
  std::string ports;
  for (const auto& line : lines) {
    if (line.bytes[0] == '9') ports += line.port;
  }
  return ports;
}

TEST_F(SequencerOutputTest, PortMetaEventsAndAssignmentTypes) {
  const std::uint32_t handle = openSong(portSong());
  h_.startSong(handle);
  h_.advance(50);
  // Port 1 is B; port 5 falls back to A.
  EXPECT_EQ(portsOfNoteOns(newLines()), "BAA");

  const std::string expected[] = {"BAA", "BAB", "BAA", "AAA", "BBB"};
  for (std::uint16_t type = 1; type <= 4; ++type) {
    h_.pause(handle);
    h_.status().playControl.portAssignment = type;
    h_.seek(handle, 0);
    h_.play(handle);
    skip();
    h_.advance(50);
    EXPECT_EQ(portsOfNoteOns(newLines()), expected[type]) << type;
  }
}

TEST_F(SequencerOutputTest, LyricsReachTheOutputStatusWhenPlayedNotWhenScanned) {
  SmfTrack track;
  track.lyric(0, "Hel").lyric(48, "lo").endOfTrack(48);
  const std::uint32_t handle = openSong(SmfWriter(1, 48).track(track).build());
  h_.scan(handle);
  EXPECT_EQ(shared_->status.lyricCounter, 0);
  h_.startSong(handle);
  h_.advance(200);
  EXPECT_EQ(shared_->status.lyricCounter, 1);
  EXPECT_STREQ(shared_->status.lyric, "Hel");
  h_.advance(500);
  EXPECT_EQ(shared_->status.lyricCounter, 2);
  EXPECT_STREQ(shared_->status.lyric, "lo");
}

TEST_F(SequencerOutputTest, TimerDrivesThePanelClock) {
  SmfTrack track;
  // Display text "Hi": F0 41 10 45 12, address 10 00 00, data, checksum, F7.
  track.sysex(0, {0x41, 0x10, 0x45, 0x12, 0x10, 0x00, 0x00, 'H', 'i', 0x3F, 0xF7}).endOfTrack(48 * 100);
  const std::uint32_t handle = openSong(SmfWriter(1, 48).track(track).build());
  h_.startSong(handle);
  h_.advance(100);
  EXPECT_EQ(std::string(shared_->panel.text, 16), "      Hi        ");
  // The text stands for 3000 ms of panel clock, given every eighth 5 ms period (40 ms).
  h_.advance(2850);
  EXPECT_EQ(std::string(shared_->panel.text, 16), "      Hi        ");
  h_.advance(100);
  EXPECT_EQ(std::string(shared_->panel.text, 16), "- VOLTA Canvas -");
}

TEST_F(SequencerOutputTest, PlayWaitsUntilTheOutputQueuesHaveDrained) {
  const std::uint32_t handle = openSong(seekSong());
  auto& options = h_.command<protocol::OutputOptionsCommand>(protocol::kOutputOptions, output_);
  options.midiRate = 1;
  h_.run();
  h_.prepare(handle);
  h_.seek(handle, 0);
  // 100 queued messages of 3 bytes at 15 bytes a 5 ms period: 100 ms of output.
  for (int i = 0; i < 100; ++i) {
    auto& send = h_.command<protocol::SendShortCommand>(protocol::kSendShortQueued, output_);
    send.port = 0;
    send.message = 0x0040B0;
    h_.run();
  }
  h_.play(handle);
  h_.advance(80);
  EXPECT_EQ(value(h_.status().songTime), 0u);
  h_.advance(120);
  EXPECT_GT(value(h_.status().songTime), 0u);
  EXPECT_LT(value(h_.status().songTime), 12000u);
}

TEST_F(SequencerOutputTest, PauseSilencesTheSoundingNotes) {
  const std::uint32_t handle = openSong(seekSong());
  h_.startSong(handle);
  h_.advance(100);
  skip();
  h_.pause(handle);
  const auto lines = messages(newLines());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "A B0 7B 00"), lines.end());
  EXPECT_EQ(shared_->channels[0][0].soundingCount, 0);
  // A second pause sends nothing more.
  h_.pause(handle);
  EXPECT_TRUE(newLines().empty());
}

TEST_F(SequencerOutputTest, OutputClosedBeforeItsSongIsNoLongerReached) {
  const std::uint32_t handle = openSong(seekSong());
  h_.startSong(handle);
  h_.advance(100);
  const std::uint32_t before = h_.status().position;
  ASSERT_EQ(h_.simple(protocol::kCloseOutput, output_), 1u);
  // The song goes on without an output: the timer, pause, seek and close must not
  // touch the freed one.
  h_.advance(200);
  EXPECT_GT(value(h_.status().position), before);
  EXPECT_EQ(h_.pause(handle), 1u);
  EXPECT_EQ(h_.seek(handle, 0), 1u);
  EXPECT_EQ(h_.closeSequencer(handle), 1u);
  song_ = 0;
}

TEST_F(SequencerOutputTest, CorpusSongsPlayOrReportTheirErrors) {
  const auto dir = corpusDir("smf");
  if (dir.empty()) GTEST_SKIP() << "no SMF corpus";
  int played = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const Bytes song = readFile(entry.path());
    const std::uint32_t handle = openSong(song);
    ASSERT_NE(handle, 0u) << entry.path();
    const std::uint32_t prepared = h_.prepare(handle);
    const std::uint8_t error = h_.prepared().error;
    EXPECT_EQ(prepared == 1, error == 0) << entry.path();
    const auto scan = h_.scan(handle);
    if (entry.path().filename() == "test-2-tracks-type-2.mid") {
      EXPECT_EQ(value(scan.error), protocol::kErrFormat);
    }
    if (scan.error == 0 || scan.error == protocol::kErrInvalidEvent) {
      h_.seek(handle, 0);
      h_.play(handle);
      h_.status().playControl.speed = 64;
      h_.advance(2000);
      EXPECT_TRUE(h_.status().error == 0 || h_.status().error == protocol::kErrInvalidEvent) << entry.path();
      ++played;
    }
    h_.closeSequencer(handle);
    song_ = 0;
  }
  EXPECT_GT(played, 10);
}

}  // namespace
}  // namespace volta::test
