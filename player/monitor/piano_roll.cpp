#include "player/monitor/piano_roll.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace volta::monitor {

namespace {

constexpr int kUpperBase = 127;

struct Course {
  std::uint8_t controller;
  RollTrace trace;
  std::uint8_t protocol::ChannelState::*field;
};
constexpr std::array<Course, 4> kCourses = {{{7, RollTrace::kVolume, &protocol::ChannelState::volume},
                                             {10, RollTrace::kPan, &protocol::ChannelState::pan},
                                             {11, RollTrace::kExpression, &protocol::ChannelState::expression},
                                             {1, RollTrace::kModulation, &protocol::ChannelState::modulation}}};

std::array<std::uint8_t, 16> soundingVelocities(const protocol::ChannelState& channel, std::bitset<128>& notes) {
  std::array<std::uint8_t, 16> velocities{};
  for (std::size_t slot = 0; slot < 16; ++slot)
    if (channel.notes[slot] < 128) {
      notes.set(channel.notes[slot]);
      velocities[slot] = channel.velocities[slot];
    }
  return velocities;
}

int bendHeight(std::uint32_t bend) {
  return kUpperBase - static_cast<int>(bend >> 7);
}

}  // namespace

void PianoRollRecorder::clear() {
  log_.clear();
  started_ = false;
  time_ = 0;
}

void PianoRollRecorder::sample(const protocol::ChannelState& channel, std::uint32_t time, bool barLine) {
  if (!started_) {
    started_ = true;
    start_ = channel;
    std::fill(std::begin(start_.notes), std::end(start_.notes), protocol::kEmptyNoteSlot);
    last_ = start_;
  }
  if (time > time_) log_.push_back({RollKind::kTime, 0, 0, time - time_});
  time_ = std::max(time, time_);
  if (barLine) log_.push_back({RollKind::kBar});
  std::bitset<128> before, now;
  soundingVelocities(last_, before);
  soundingVelocities(channel, now);
  for (int note = 0; note < 128; ++note) {
    if (before[static_cast<std::size_t>(note)] && !now[static_cast<std::size_t>(note)])
      log_.push_back({RollKind::kNoteOff, static_cast<std::uint8_t>(note)});
  }
  for (std::size_t slot = 0; slot < 16; ++slot) {
    const std::uint8_t note = channel.notes[slot];
    if (note < 128 && !before[note]) log_.push_back({RollKind::kNoteOn, note, channel.velocities[slot]});
  }
  for (const Course& course : kCourses)
    if (channel.*course.field != last_.*course.field)
      log_.push_back({RollKind::kController, course.controller, channel.*course.field});
  if (channel.pitchBend != last_.pitchBend) log_.push_back({RollKind::kBend, 0, 0, channel.pitchBend});
  last_ = channel;
}

std::vector<RollLine> pianoRollLines(const std::vector<RollRecord>& log, const protocol::ChannelState& start, int scale,
                                     std::uint32_t endTime) {
  scale = std::max(scale, 1);
  auto x = [scale](std::uint32_t time) {
    return static_cast<int>(static_cast<std::uint64_t>(time) * kRollGrid / scale);
  };
  std::vector<RollLine> lines;
  std::array<std::pair<std::uint32_t, std::uint8_t>, 128> open{};  // start time and velocity, velocity 0: not sounding
  std::array<std::pair<std::uint32_t, int>, kCourses.size() + 1> course{};  // since, height
  for (std::size_t i = 0; i < kCourses.size(); ++i)
    course[i] = {0, kUpperBase - start.*kCourses[i].field};
  course.back() = {0, bendHeight(start.pitchBend)};
  auto closeCourse = [&](std::size_t i, std::uint32_t time, int height) {
    lines.push_back({x(course[i].first), course[i].second, x(time), course[i].second,
                     i < kCourses.size() ? kCourses[i].trace : RollTrace::kBend});
    course[i] = {time, height};
  };
  auto endNote = [&](int note, std::uint32_t time) {
    auto& [since, velocity] = open[static_cast<std::size_t>(note)];
    if (velocity == 0) return;
    lines.push_back({x(since), kRollHeight - note, x(time), kRollHeight - note, RollTrace::kNote});
    lines.push_back({x(since), kUpperBase - velocity, x(time), kUpperBase - velocity, RollTrace::kVelocity});
    velocity = 0;
  };
  std::uint32_t time = 0;
  for (const RollRecord& record : log) {
    switch (record.kind) {
      case RollKind::kTime:
        time += record.value;
        break;
      case RollKind::kBar:
        lines.push_back({x(time), 0, x(time), kRollHeight - 1, RollTrace::kBar});
        break;
      case RollKind::kNoteOff:
        endNote(record.data1 & 0x7F, time);
        break;
      case RollKind::kNoteOn:
        endNote(record.data1 & 0x7F, time);
        if (record.data2 != 0) open[record.data1 & 0x7F] = {time, record.data2};  // velocity 0 is a note-off
        break;
      case RollKind::kController:
        for (std::size_t i = 0; i < kCourses.size(); ++i)
          if (kCourses[i].controller == record.data1) closeCourse(i, time, kUpperBase - (record.data2 & 0x7F));
        break;
      case RollKind::kBend:
        closeCourse(kCourses.size(), time, bendHeight(record.value & 0x3FFF));
        break;
    }
  }
  for (int note = 0; note < 128; ++note)
    endNote(note, std::max(time, endTime));
  for (std::size_t i = 0; i < course.size(); ++i)
    closeCourse(i, std::max(time, endTime), course[i].second);
  return lines;
}

}  // namespace volta::monitor
