#pragma once
// Plays a song image through the record interpreter tick by tick, the way the engine
// steps its tracks, and records every message with the tick it came on.

#include <cstdint>
#include <string>
#include <vector>

#include "rcp/interpreter.h"
#include "rcp/song.h"

namespace volta::rcp::testing {

struct Event {
  std::uint32_t tick = 0;
  int track = 0;
  std::string text;  // "A 90 3C 64", "tempo 500000", "key 3", "error 12", "comment ab"
};

struct Played {
  Song song;
  std::vector<Event> events;
  std::vector<Track> tracks;
  int noteSounded = 0;
  bool allEnded = false;

  std::vector<std::string> texts() const;
  std::vector<std::string> textsOf(int track) const;
  // Ticks of the events whose text starts with `prefix`.
  std::vector<std::uint32_t> ticksOf(const std::string& prefix) const;
};

std::string hex(const std::uint8_t* bytes, std::size_t length);

// Ticks 1..maxTicks; stops early once every track has ended.
Played play(const std::vector<std::uint8_t>& file, Family family, const Rules& rules, std::uint32_t maxTicks,
            Mode mode = Mode::Play);

Rules engineRules(Family family);
Rules converterRules();

}  // namespace volta::rcp::testing
