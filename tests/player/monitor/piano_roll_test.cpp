#include "player/monitor/piano_roll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace volta::monitor {
namespace {

protocol::ChannelState channel() {
  protocol::ChannelState c{};
  std::memset(c.notes, protocol::kEmptyNoteSlot, sizeof c.notes);
  c.volume = 100;
  c.pan = 64;
  c.expression = 127;
  c.pitchBend = 8192;
  return c;
}

std::vector<RollLine> of(const std::vector<RollLine>& lines, RollTrace trace) {
  std::vector<RollLine> picked;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(picked),
               [trace](const RollLine& line) { return line.trace == trace; });
  return picked;
}

TEST(PianoRollLines, NotesBelowVelocitiesAboveFromOnToOff) {
  const std::vector<RollRecord> log = {{RollKind::kNoteOn, 60, 100},
                                       {RollKind::kTime, 0, 0, 96},
                                       {RollKind::kNoteOff, 60},
                                       {RollKind::kNoteOn, 64, 0}};  // velocity 0 ends nothing that is not sounding
  const auto lines = pianoRollLines(log, channel(), 48, 96);
  EXPECT_EQ(of(lines, RollTrace::kNote), (std::vector<RollLine>{{0, 196, 96, 196, RollTrace::kNote}}));
  EXPECT_EQ(of(lines, RollTrace::kVelocity), (std::vector<RollLine>{{0, 27, 96, 27, RollTrace::kVelocity}}));
}

TEST(PianoRollLines, AVelocityZeroNoteOnIsANoteOffAndTheScaleDividesTime) {
  const std::vector<RollRecord> log = {
      {RollKind::kNoteOn, 72, 64}, {RollKind::kTime, 0, 0, 200}, {RollKind::kNoteOn, 72, 0}};
  const auto lines = pianoRollLines(log, channel(), 96, 1000);
  EXPECT_EQ(of(lines, RollTrace::kNote), (std::vector<RollLine>{{0, 184, 100, 184, RollTrace::kNote}}));
}

TEST(PianoRollLines, CoursesStartFromTheChannelAndBarsCrossTheGraph) {
  const std::vector<RollRecord> log = {{RollKind::kTime, 0, 0, 48},
                                       {RollKind::kController, 7, 50},
                                       {RollKind::kBend, 0, 0, 16383},
                                       {RollKind::kTime, 0, 0, 48},
                                       {RollKind::kBar}};
  const auto lines = pianoRollLines(log, channel(), 48, 144);
  EXPECT_EQ(of(lines, RollTrace::kVolume),
            (std::vector<RollLine>{{0, 27, 48, 27, RollTrace::kVolume}, {48, 77, 144, 77, RollTrace::kVolume}}));
  EXPECT_EQ(of(lines, RollTrace::kBend),
            (std::vector<RollLine>{{0, 63, 48, 63, RollTrace::kBend}, {48, 0, 144, 0, RollTrace::kBend}}));
  EXPECT_EQ(of(lines, RollTrace::kBar), (std::vector<RollLine>{{96, 0, 96, 255, RollTrace::kBar}}));
  EXPECT_EQ(of(lines, RollTrace::kPan), (std::vector<RollLine>{{0, 63, 144, 63, RollTrace::kPan}}));
}

TEST(PianoRollRecorder, LogsWhatChangedBetweenChannelRecords) {
  PianoRollRecorder recorder;
  protocol::ChannelState c = channel();
  recorder.sample(c, 0, true);
  c.notes[3] = 60;
  c.velocities[3] = 90;
  c.volume = 80;
  recorder.sample(c, 10, false);
  c.notes[3] = protocol::kEmptyNoteSlot;
  c.pitchBend = 0;
  recorder.sample(c, 25, false);
  const std::vector<RollRecord> expected = {{RollKind::kBar},
                                            {RollKind::kTime, 0, 0, 10},
                                            {RollKind::kNoteOn, 60, 90},
                                            {RollKind::kController, 7, 80},
                                            {RollKind::kTime, 0, 0, 15},
                                            {RollKind::kNoteOff, 60},
                                            {RollKind::kBend, 0, 0, 0}};
  EXPECT_EQ(recorder.log(), expected);
  EXPECT_EQ(recorder.start().volume, 100);
}

TEST(PianoRollRecorder, NotesSoundingWhenTheLogBeginsAreLoggedAsTheyStart) {
  PianoRollRecorder recorder;
  protocol::ChannelState c = channel();
  c.notes[0] = 40;
  c.velocities[0] = 70;
  recorder.sample(c, 0, false);
  EXPECT_EQ(recorder.log(), (std::vector<RollRecord>{{RollKind::kNoteOn, 40, 70}}));
}

}  // namespace
}  // namespace volta::monitor
