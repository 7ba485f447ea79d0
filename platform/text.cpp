#include "platform/text.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace volta::platform::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kNotLookedUp = 0xFFFFFFFF;

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool isTextCharacter(char32_t c) {
  return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

// Bytes of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
std::size_t utf8SequenceWidth(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF5) return 4;
  return 0;
}

}  // namespace

std::string upperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return upperAscii(c); });
  return out;
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return lowerAscii(c); });
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

void appendUtf8(std::string& out, char32_t c) {
  if (!isTextCharacter(c)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::uint16_t shiftJisCodeAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<std::uint8_t>(text[at]);
  if (!isShiftJisLead(lead) || at + 1 >= text.size()) return lead;
  return static_cast<std::uint16_t>(lead << 8 | static_cast<std::uint8_t>(text[at + 1]));
}

std::string upperShiftJis(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (isShiftJisLead(out[i])) {
      ++i;  // the trail byte may look like a letter
    } else {
      out[i] = upperAscii(out[i]);
    }
  }
  return out;
}

std::uint16_t shiftJisToJis(std::uint8_t lead, std::uint8_t trail) {
  const bool leadOk = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF);
  const bool trailOk = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
  if (!leadOk || !trailOk) return 0;
  int row = (lead <= 0x9F ? lead - 0x70 : lead - 0xB0) * 2;
  int cell = 0;
  if (trail < 0x9F) {
    row -= 1;
    cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
  } else {
    cell = trail - 0x7E;
  }
  return static_cast<std::uint16_t>(row << 8 | cell);
}

Cp932Decoder::Cp932Decoder() : converter_(nullptr), table_(0x10000, kNotLookedUp) {
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd != kNoConverter) converter_ = cd;
}

Cp932Decoder::~Cp932Decoder() {
  if (converter_ != nullptr) iconv_close(static_cast<iconv_t>(converter_));
}

char32_t Cp932Decoder::toUnicode(std::uint16_t code) {
  char32_t& slot = table_[code];
  if (slot == kNotLookedUp) slot = convert(code);
  return slot;
}

std::u32string Cp932Decoder::decode(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const std::uint16_t code = shiftJisCodeAt(bytes, at);
    const char32_t c = toUnicode(code);
    out += c == 0 && code != 0 ? kReplacement : c;
    at += codeWidth(code);
  }
  return out;
}

// CP932's single bytes below 0x80 are ASCII, so those read even where iconv lacks CP932.
char32_t Cp932Decoder::convert(std::uint16_t code) {
  if (code < 0x80) return code;
  if (converter_ == nullptr) return 0;
  iconv_t cd = static_cast<iconv_t>(converter_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::array<char, 2> in{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  char* inPtr = code > 0xFF ? in.data() : in.data() + 1;
  std::size_t inLeft = codeWidth(code);
  std::array<char, 8> out{};
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (done == static_cast<std::size_t>(-1) || outLeft != out.size() - 4) return 0;
  char32_t result = 0;
  for (int i = 3; i >= 0; --i)
    result = result << 8 | static_cast<unsigned char>(out[static_cast<std::size_t>(i)]);
  return result;
}

std::string cp932ToUtf8(std::string_view bytes) {
  thread_local Cp932Decoder decoder;
  std::string out;
  for (const char32_t c : decoder.decode(bytes))
    appendUtf8(out, c);
  return out;
}

std::string utf8ToCp932(std::string_view text) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == kNoConverter) return std::string(text);
  std::string out;
  std::array<char, 256> chunk{};
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  bool valid = true;
  while (inLeft > 0 && valid) {
    char* outPtr = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(chunk.data(), chunk.size() - outLeft);
    if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // A character CP932 lacks becomes "?"; a cut or wrong sequence means the text is no UTF-8.
    const std::size_t width = errno == EILSEQ ? utf8SequenceWidth(static_cast<unsigned char>(*in)) : 0;
    valid = width > 0 && width <= inLeft;
    if (!valid) break;
    out += '?';
    in += width;
    inLeft -= width;
  }
  iconv_close(cd);
  return valid ? out : std::string(text);
}

}  // namespace volta::platform::text
