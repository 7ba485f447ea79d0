#pragma once
// Helpers for the byte strings of songs, lists, documents, scripts, definition files and
// file names. They stay bytes until shown: case folding touches ASCII letters only (bytes
// from 0x80 up belong to Shift-JIS or UTF-8 characters), and CP932 is decoded where a
// text is displayed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace volta::platform::text {

constexpr char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// Space, tab, CR and LF.
constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// `text` without its leading and trailing blanks.
std::string_view trim(std::string_view text);

// Appends `c` as UTF-8; a surrogate or a value above U+10FFFF appends U+FFFD.
void appendUtf8(std::string& out, char32_t c);

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool isShiftJisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The character code at `at`: the byte, or lead << 8 | trail for a pair. A lead byte
// that ends the text stands alone.
std::uint16_t shiftJisCodeAt(std::string_view text, std::size_t at);

// Bytes taken by a code from shiftJisCodeAt.
constexpr std::size_t codeWidth(std::uint16_t code) {
  return code > 0xFF ? 2 : 1;
}

// Upper-cases the single-byte letters of Shift-JIS text, leaving double-byte characters whole.
std::string upperShiftJis(std::string_view text);

// JIS X 0208 code (row << 8 | cell) of a Shift-JIS pair, or 0 when the pair lies outside
// JIS (user-defined rows, bad trail bytes).
std::uint16_t shiftJisToJis(std::uint8_t lead, std::uint8_t trail);

// Unicode of CP932 codes, remembered once looked up. CP932 rather than Shift-JIS keeps
// 0x5C a backslash and knows the NEC rows. One decoder serves one thread.
class Cp932Decoder {
 public:
  Cp932Decoder();
  ~Cp932Decoder();
  Cp932Decoder(const Cp932Decoder&) = delete;
  Cp932Decoder& operator=(const Cp932Decoder&) = delete;

  // The character of a code from shiftJisCodeAt, or 0 when CP932 has none there.
  char32_t toUnicode(std::uint16_t code);
  // Every character of `bytes`; codes without a character become U+FFFD.
  std::u32string decode(std::string_view bytes);

 private:
  char32_t convert(std::uint16_t code);

  void* converter_;  // iconv descriptor, or null when the system lacks CP932
  std::vector<char32_t> table_;
};

// CP932 bytes as UTF-8; codes without a character become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);

// UTF-8 text (a file name) as CP932 bytes, the form of the texts read from songs;
// characters CP932 lacks become "?". Text that is not UTF-8 comes back as it is.
std::string utf8ToCp932(std::string_view text);

}  // namespace volta::platform::text
