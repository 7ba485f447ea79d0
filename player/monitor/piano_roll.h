#pragma once
// The piano roll of one channel: a time-stamped log of its messages, and the lines a
// graph 256 pixels high draws from it: notes in the lower half at 256 - note, their
// velocities and the courses of volume, pan, expression, modulation and pitch bend in
// the upper half at 127 - value, bar lines across. The engine keeps no message log, so
// the recorder writes one from successive channel records.

#include <cstdint>
#include <vector>

#include "engine/protocol/records.h"

namespace volta::monitor {

inline constexpr int kRollHeight = 256;
inline constexpr int kRollGrid = 48;  // pixels between vertical grid lines, per scale step

// Status-like record kinds; kTime carries a 32-bit advance, kBar marks a bar line.
enum class RollKind : std::uint8_t {
  kNoteOff = 0x80,
  kNoteOn = 0x90,
  kController = 0xB0,
  kBend = 0xE0,
  kTime = 0xF4,
  kBar = 0xFB
};

struct RollRecord {
  RollKind kind;
  std::uint8_t data1 = 0, data2 = 0;  // note and velocity, controller and value
  std::uint32_t value = 0;            // time advance, or the 14-bit bend
  bool operator==(const RollRecord&) const = default;
};

class PianoRollRecorder {
 public:
  // Logs what changed since the last sample, `time` units after the first.
  void sample(const protocol::ChannelState& channel, std::uint32_t time, bool barLine);
  const std::vector<RollRecord>& log() const { return log_; }
  // The channel's values when the log began: where the courses start.
  const protocol::ChannelState& start() const { return start_; }
  void clear();

 private:
  std::vector<RollRecord> log_;
  protocol::ChannelState start_{}, last_{};
  std::uint32_t time_ = 0;
  bool started_ = false;
};

enum class RollTrace { kNote, kVelocity, kVolume, kPan, kExpression, kModulation, kBend, kBar };

struct RollLine {
  int x1, y1, x2, y2;
  RollTrace trace;
  bool operator==(const RollLine&) const = default;
};

// The lines of a log over `endTime` units; a message at time t lies at x = t * 48 / scale.
std::vector<RollLine> pianoRollLines(const std::vector<RollRecord>& log, const protocol::ChannelState& start, int scale,
                                     std::uint32_t endTime);

}  // namespace volta::monitor
