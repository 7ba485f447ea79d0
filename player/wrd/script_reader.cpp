#include "player/wrd/script_reader.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"

namespace volta::wrd {

using platform::text::isShiftJisLead;
using platform::text::lowerAscii;

namespace {

constexpr long long kNumberCeiling = std::numeric_limits<int>::max();

bool isBlank(std::uint8_t b) {
  return b == ' ' || b == '\t';
}

bool isDigit(std::uint8_t b) {
  return b >= '0' && b <= '9';
}

int hexDigit(std::uint8_t b) {
  if (isDigit(b)) return b - '0';
  const char lower = lowerAscii(static_cast<char>(b));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

}  // namespace

int saturate(long long value) {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(), kNumberCeiling));
}

bool ScriptReader::match(std::string_view keyword) {
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (lowerAscii(static_cast<char>(peek(i))) != lowerAscii(keyword[i])) return false;
  }
  skip(keyword.size());
  return true;
}

void ScriptReader::skipBlanks() {
  while (isBlank(peek()))
    skip();
}

std::optional<int> ScriptReader::number() {
  skipBlanks();
  const bool negative = peek() == '-';
  if (negative) skip();
  if (!isDigit(peek())) return std::nullopt;
  long long value = 0;
  while (isDigit(peek())) {
    value = std::min(value * 10 + (peek() - '0'), kNumberCeiling);
    skip();
  }
  skipBlanks();
  return saturate(negative ? -value : value);
}

int ScriptReader::hexNumber() {
  skipBlanks();
  long long value = 0;
  for (int d = hexDigit(peek()); d >= 0; d = hexDigit(peek())) {
    value = std::min(value * 16 + d, kNumberCeiling);
    skip();
  }
  skipBlanks();
  return saturate(value);
}

int ScriptReader::caretNumber() {
  skipBlanks();
  if (peek() == '$') {
    skip();
    return hexNumber();
  }
  return number(0);
}

bool ScriptReader::separator() {
  if (peek() != ',') return false;
  skip();
  return true;
}

void ScriptReader::close() {
  if (peek() == ')') skip();
}

std::string ScriptReader::string() {
  skipBlanks();
  std::string out;
  while (out.size() < kMaxStringArgument) {
    const std::uint8_t b = peek();
    if (b == ',' || b == ')' || b == '\n' || b == 0) break;
    const bool pair = isShiftJisLead(b) && peek(1) != 0 && out.size() + 1 < kMaxStringArgument;
    out.push_back(static_cast<char>(b));
    if (pair) out.push_back(static_cast<char>(peek(1)));
    skip(pair ? 2 : 1);
  }
  return out;
}

std::string ScriptReader::preview(std::size_t count) const {
  std::string out;
  for (std::size_t i = 0; i < count && position_ + i < end_; ++i) {
    const char c = data_[position_ + i];
    out.push_back(c == '\n' ? '.' : c);
  }
  return out;
}

}  // namespace volta::wrd
