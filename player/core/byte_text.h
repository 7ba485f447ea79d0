#pragma once
// Helpers for the byte strings of definition files, documents and file names:
// ASCII case folding and the Shift-JIS lead-byte rule.

#include <cstdint>
#include <string>
#include <string_view>

namespace volta::core {

inline char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b);
std::string upperAscii(std::string_view text);

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
inline bool isShiftJisLead(char c) {
  const auto b = static_cast<std::uint8_t>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Upper-cases the single-byte letters of Shift-JIS text, leaving double-byte characters whole.
std::string upperShiftJis(std::string_view text);

}  // namespace volta::core
