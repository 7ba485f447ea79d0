#pragma once
// Reading the tokens of a WRD script: keywords, numbers, strings and separators. Every read
// stays before the end of the script; past it the reader sees zero bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace volta::wrd {

inline constexpr std::size_t kMaxStringArgument = 255;

class ScriptReader {
 public:
  ScriptReader() = default;
  ScriptReader(const char* data, std::size_t end, std::size_t position)
      : data_(data), end_(end), position_(std::min(position, end)) {}

  std::size_t position() const { return position_; }
  void setPosition(std::size_t position) { position_ = std::min(position, end_); }
  bool atEnd() const { return position_ >= end_; }

  // The byte `offset` bytes ahead, 0 at and past the end.
  std::uint8_t peek(std::size_t offset = 0) const {
    return position_ + offset < end_ ? static_cast<std::uint8_t>(data_[position_ + offset]) : 0;
  }
  void skip(std::size_t count = 1) { position_ = std::min(position_ + count, end_); }
  // A line end, or ";" directly before one.
  bool atLineEnd() const { return peek() == '\n'; }
  bool atSemicolonLineEnd() const { return peek() == ';' && peek(1) == '\n'; }

  // When the text here begins with `keyword` (compared without regard to case) it is skipped.
  bool match(std::string_view keyword);
  void skipBlanks();

  // Decimal numbers with an optional "-", blanks and tabs skipped around; nothing when no
  // digit follows. Values beyond 32 bits saturate.
  std::optional<int> number();
  int number(int fallback) { return number().value_or(fallback); }
  // A number and the "," after it, as the arguments of a command come.
  int argument(int fallback) {
    const int value = number(fallback);
    separator();
    return value;
  }
  // Hexadecimal digits only (palette values).
  int hexNumber();
  // Decimal, or "$" and hexadecimal digits (the "^" commands); 0 when absent.
  int caretNumber();

  // "," skipped when present; true when it was.
  bool separator();
  // ")" skipped when present.
  void close();
  // Up to 255 bytes to "," or ")" (or the line end), double-byte characters kept whole.
  std::string string();
  // The next `count` bytes as the debug log shows them (line ends as ".").
  std::string preview(std::size_t count) const;

 private:
  const char* data_ = nullptr;
  std::size_t end_ = 0;
  std::size_t position_ = 0;
};

// Saturating conversion of a wide intermediate result to a script number.
int saturate(long long value);

}  // namespace volta::wrd
