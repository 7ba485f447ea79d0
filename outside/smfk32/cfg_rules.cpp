#include "outside/smfk32/cfg_rules.h"

#include <algorithm>
#include <charconv>

namespace smfk32 {
namespace {

using Words = std::vector<std::string_view>;

// The line without its comment, cut into words at blanks.
Words wordsOf(std::string_view line) {
  line = line.substr(0, std::min(line.find(';'), line.find('#')));
  Words words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t\r\v\f", at)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find_first_of(" \t\r\v\f", at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

bool same(std::string_view word, std::string_view keyword) {
  return std::equal(word.begin(), word.end(), keyword.begin(), keyword.end(),
                    [](char a, char b) { return (a | 0x20) == b; });
}

std::optional<int> number(std::string_view word, int low, int high, int base = 10) {
  if (base == 10 && !word.empty() && word.front() == '+') word.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) return std::nullopt;
  return value;
}

// A channel 1..16 as its index, or "*" for all.
std::optional<std::size_t> channel(std::string_view word) {
  if (word == "*") return kAnyChannel;
  const auto value = number(word, 1, 16);
  return value ? std::optional<std::size_t>(static_cast<std::size_t>(*value - 1)) : std::nullopt;
}

class Reader {
 public:
  explicit Reader(Rules& rules) : rules_(rules) {}

  // Empty on success, else what is wrong with the line.
  std::string rule(const Words& words) {
    const std::string_view keyword = words.front();
    if (same(keyword, "channel")) return channelRule(words);
    if (same(keyword, "program")) return programRule(words);
    if (same(keyword, "transpose")) return transposeRule(words);
    if (same(keyword, "controller")) return controllerRule(words);
    if (same(keyword, "exclusive")) return exclusiveRule(words);
    return "unknown rule \"" + std::string(keyword) + "\"";
  }

 private:
  std::string channelRule(const Words& w) {
    if (w.size() != 3) return "channel FROM TO";
    const auto from = number(w[1], 1, 16), to = number(w[2], 1, 16);
    if (!from || !to) return "channels are 1 to 16";
    rules_.channels[static_cast<std::size_t>(*from - 1)] = static_cast<std::uint8_t>(*to - 1);
    return {};
  }
  std::string programRule(const Words& w) {
    if (w.size() != 4) return "program CHANNEL FROM TO";
    const auto ch = channel(w[1]);
    const auto from = number(w[2], 1, 128), to = number(w[3], 1, 128);
    if (!ch) return "the channel is 1 to 16 or *";
    if (!from || !to) return "programs are 1 to 128";
    rules_.programs[*ch][static_cast<std::size_t>(*from - 1)] = static_cast<std::int16_t>(*to - 1);
    return {};
  }
  std::string transposeRule(const Words& w) {
    if (w.size() != 3) return "transpose CHANNEL SEMITONES";
    const auto ch = channel(w[1]);
    const auto semitones = number(w[2], -127, 127);
    if (!ch) return "the channel is 1 to 16 or *";
    if (!semitones) return "semitones are -127 to 127";
    rules_.transpose[*ch] = *semitones;
    return {};
  }
  std::string controllerRule(const Words& w) {
    if (w.size() != 4) return "controller CHANNEL NUMBER TO|drop";
    const auto ch = channel(w[1]);
    const auto from = number(w[2], 0, 127);
    const auto to = same(w[3], "drop") ? std::optional<int>(kDropped) : number(w[3], 0, 127);
    if (!ch) return "the channel is 1 to 16 or *";
    if (!from || !to) return "controllers are 0 to 127 (or drop)";
    rules_.controllers[*ch][static_cast<std::size_t>(*from)] = static_cast<std::int16_t>(*to);
    return {};
  }
  std::string exclusiveRule(const Words& w) {
    if (w.size() < 3 || !same(w[1], "drop")) return "exclusive drop all|BYTES";
    if (w.size() == 3 && same(w[2], "all")) {
      rules_.dropAllExclusives = true;
      return {};
    }
    std::vector<std::uint8_t> prefix;
    for (std::size_t i = 2; i < w.size(); ++i) {
      const auto byte = w[i].size() == 2 ? number(w[i], 0, 255, 16) : std::nullopt;
      if (!byte) return "exclusive bytes are two hexadecimal digits";
      prefix.push_back(static_cast<std::uint8_t>(*byte));
    }
    rules_.droppedExclusives.push_back(std::move(prefix));
    return {};
  }

  Rules& rules_;
};

}  // namespace

Rules::Rules() {
  for (std::size_t ch = 0; ch < channels.size(); ++ch)
    channels[ch] = static_cast<std::uint8_t>(ch);
  for (auto* maps : {&programs, &controllers})
    for (ByteMap& map : *maps)
      map.fill(kUnchanged);
}

std::int16_t Rules::program(std::size_t channel, std::uint8_t value) const {
  const std::int16_t own = programs[channel][value];
  return own != kUnchanged ? own : programs[kAnyChannel][value];
}

std::int16_t Rules::controller(std::size_t channel, std::uint8_t number) const {
  const std::int16_t own = controllers[channel][number];
  return own != kUnchanged ? own : controllers[kAnyChannel][number];
}

int Rules::semitones(std::size_t channel) const {
  return transpose[channel].value_or(transpose[kAnyChannel].value_or(0));
}

RulesResult readRules(std::string_view text) {
  if (text.size() > kMaxConfigurationSize) return {std::nullopt, 0, "the file is larger than a rule file can be"};
  Rules rules;
  Reader reader(rules);
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = std::min(text.find('\n'), text.size());
    const Words words = wordsOf(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (words.empty()) continue;
    if (std::string error = reader.rule(words); !error.empty()) return {std::nullopt, lineNumber, std::move(error)};
  }
  return {std::move(rules), 0, {}};
}

}  // namespace smfk32
