#include "player/monitor/monitor_texts.h"

#include <array>
#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace volta::monitor {

namespace {

std::string format(const char* pattern, auto... values) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

constexpr std::array<std::string_view, 32> kKeyNames = {"C",  "G",  "D",  "A",  "E",  "B", "F#", "C#", "C",  "F",  "Bb",
                                                        "Eb", "Ab", "Db", "Gb", "Cb", "A", "E",  "B",  "F#", "C#", "G#",
                                                        "D#", "A#", "A",  "D",  "G",  "C", "F",  "Bb", "Eb", "Ab"};

int pitchClassOf(std::string_view name) {
  static constexpr std::array<int, 7> kNatural = {9, 11, 0, 2, 4, 5, 7};  // A..G
  int pitch = kNatural[static_cast<std::size_t>(name[0] - 'A')];
  if (name.size() > 1) pitch += name[1] == '#' ? 1 : -1;
  return (pitch + 12) % 12;
}

struct Quality {
  std::string_view text;
  std::vector<int> intervals;
  unsigned majorMask, minorMask;
  int spelling;
};

const std::vector<Quality>& qualities() {
  static const std::vector<Quality> table = {{"M7", {4, 7, 11}, 33, 264, 0},   {"mM7", {3, 7, 11}, 0, 1, 1},
                                             {"m7", {3, 7, 10}, 532, 165, 1},  {"m7(-5)", {3, 6, 10}, 2048, 2564, 2},
                                             {"7", {4, 7, 10}, 2773, 1184, 0}, {"7aug", {4, 8, 10}, 0, 0, 0},
                                             {"7(-5)", {4, 6, 10}, 0, 0, 0},   {"7sus4", {5, 7, 10}, 2741, 4013, 0},
                                             {"m6", {3, 7, 9}, 0, 0, 1},       {"6", {4, 7, 9}, 0, 0, 0},
                                             {"dim", {3, 6, 9}, 0, 8, 3},      {"aug", {4, 8}, 0, 0, 1},
                                             {"(-5)", {4, 6}, 0, 8, 2},        {"sus4", {5, 7}, 2741, 4013, 0},
                                             {"", {4, 7}, 161, 1448, 0},       {"m", {3, 7}, 532, 165, 1},
                                             {"m(-5)", {3, 6}, 2048, 2564, 2}};
  return table;
}

constexpr std::array<std::array<std::string_view, 12>, 4> kSpellings = {{
    {"C", "Db", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"},
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "Bb", "B"},
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"},
    {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"},
}};

struct Tension {
  int interval;
  std::string_view text;
};
constexpr std::array<Tension, 7> kTensions = {
    {{1, "-9"}, {2, "9"}, {3, "+9"}, {5, "11"}, {6, "+11"}, {8, "-13"}, {9, "13"}}};

constexpr std::array<char, 12> kMajorMarks = {0x14, 0x18, 0x19, 0x18, 0x1C, 0x11, 0x18, 0x12, 0x18, 0x1C, 0x10, 0x1A};
constexpr std::array<char, 12> kMinorMarks = {0x14, 0x18, 0x19, 0x1C, 0x18, 0x11, 0x18, 0x12, 0x19, 0x1C, 0x19, 0x1A};

char degreeMark(const Quality& quality, int root, int key) {
  const int degree = ((root - keyTonic(key)) % 12 + 12) % 12;
  const bool minor = key >= 16;
  const unsigned mask = minor ? quality.minorMask : quality.majorMask;
  if (((mask >> degree) & 1U) == 0) return kMarkOutside;
  if (!minor && quality.text == "7" && degree != 7) return kMarkSecondaryDominant;
  return (minor ? kMinorMarks : kMajorMarks)[static_cast<std::size_t>(degree)];
}

// The reading of `classes` with this root and quality, or empty when a note is left unexplained.
std::string reading(const std::bitset<12>& classes, int root, const Quality& quality, int key, bool& tensions) {
  std::bitset<12> above;
  for (int interval = 1; interval < 12; ++interval)
    if (classes[static_cast<std::size_t>((root + interval) % 12)]) above.set(static_cast<std::size_t>(interval));
  for (const int interval : quality.intervals) {
    if (!above[static_cast<std::size_t>(interval)]) return {};
    above.reset(static_cast<std::size_t>(interval));
  }
  std::string tensionText;
  for (const Tension& tension : kTensions) {
    if (!above[static_cast<std::size_t>(tension.interval)]) continue;
    above.reset(static_cast<std::size_t>(tension.interval));
    tensionText += (tensionText.empty() ? "" : " ") + std::string(tension.text);
  }
  if (above.any()) return {};
  tensions = !tensionText.empty();
  std::string text(1, degreeMark(quality, root, key));
  text += kSpellings[static_cast<std::size_t>(quality.spelling)][static_cast<std::size_t>(root)];
  text += quality.text;
  if (tensions) text += "(" + tensionText + ")";
  return text + " ";
}

}  // namespace

std::string bpmText(std::uint32_t tempo) {
  return format("%-3d", tempo == 0 ? 0 : static_cast<int>(60'000'000U / tempo));
}

std::string timeBaseText(int timeBase) {
  return format("%-4d", timeBase);
}

std::string meterText(int numerator, int denominator) {
  return format("%2d/%-2d", numerator, denominator);
}

std::string keyText(int key) {
  const bool known = key >= 0 && key < 32;
  const std::string_view name = known ? kKeyNames[static_cast<std::size_t>(key)] : "";
  return format("%2s %s", std::string(name).c_str(), known && key < 16 ? "Major" : "Minor");
}

int keyTonic(int key) {
  return key >= 0 && key < 32 ? pitchClassOf(kKeyNames[static_cast<std::size_t>(key)]) : 0;
}

std::string transpositionText(int semitones) {
  const char sign = semitones > 0 ? '+' : semitones < 0 ? '-' : ' ';
  return format("%c%-2d", sign, std::abs(semitones));
}

std::string signedNumber(int value, int digits) {
  const char sign = value > 0 ? '+' : value < 0 ? '-' : ' ';
  return sign + unsignedNumber(std::abs(value), digits);
}

std::string unsignedNumber(int value, int digits) {
  return format("%0*d", digits, value);
}

std::string chordText(std::span<const std::uint8_t> notes, int key) {
  std::bitset<12> classes;
  for (const std::uint8_t note : notes)
    if (note < 0x80) classes.set(note % 12);
  std::string plain, extended;
  for (int root = 0; root < 12; ++root) {
    if (!classes[static_cast<std::size_t>(root)]) continue;
    for (const Quality& quality : qualities()) {
      bool tensions = false;
      const std::string text = reading(classes, root, quality, key, tensions);
      (tensions ? extended : plain) += text;
    }
  }
  return plain + extended;
}

}  // namespace volta::monitor
