#pragma once
// The rules of a .CFG file: channel and program maps, transposition, controller and
// exclusive filters. Rules for one channel take precedence over rules for all ("*").

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smfk32 {

// Index of the rules that hold for every channel, after the sixteen channels.
inline constexpr std::size_t kAnyChannel = 16;
// A .CFG file larger than this is refused: a rule file is a page or two of text.
inline constexpr std::size_t kMaxConfigurationSize = 1 << 20;

// Controller rule values besides a new controller number.
inline constexpr std::int16_t kUnchanged = -1;
inline constexpr std::int16_t kDropped = -2;

struct Rules {
  using ByteMap = std::array<std::int16_t, 128>;  // kUnchanged or the new value

  Rules();

  std::array<std::uint8_t, 16> channels{};         // where each channel's messages go (0-based)
  std::array<ByteMap, 17> programs{};              // per channel, then kAnyChannel
  std::array<ByteMap, 17> controllers{};           // kUnchanged, kDropped or a new number
  std::array<std::optional<int>, 17> transpose{};  // semitones added to note numbers
  bool dropAllExclusives = false;
  std::vector<std::vector<std::uint8_t>> droppedExclusives;  // data prefixes after F0

  // The channel's rule, else the rule for all channels.
  std::int16_t program(std::size_t channel, std::uint8_t value) const;
  std::int16_t controller(std::size_t channel, std::uint8_t number) const;
  int semitones(std::size_t channel) const;
};

struct RulesResult {
  std::optional<Rules> rules;
  std::size_t line = 0;  // 1-based line of the error
  std::string error;     // empty on success
};

// Reads a .CFG text; a line it does not understand is an error naming the line.
RulesResult readRules(std::string_view text);

}  // namespace smfk32
