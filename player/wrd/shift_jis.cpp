#include "player/wrd/shift_jis.h"

#include <iconv.h>

#include <array>

namespace volta::wrd {

namespace {

constexpr char32_t kUnknown = 0xFFFFFFFF;

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

char32_t Cp932Decoder::convert(std::uint16_t code) {
  if (converter_ == nullptr) return 0;
  iconv_t cd = static_cast<iconv_t>(converter_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::array<char, 2> in{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  char* inPtr = code > 0xFF ? in.data() : in.data() + 1;
  std::size_t inLeft = code > 0xFF ? 2 : 1;
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

bool isShiftJisLead(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
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

Cp932Decoder::Cp932Decoder() : converter_(nullptr), table_(0x10000, kUnknown) {
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd != kNoConverter) converter_ = cd;
}

Cp932Decoder::~Cp932Decoder() {
  if (converter_ != nullptr) iconv_close(static_cast<iconv_t>(converter_));
}

char32_t Cp932Decoder::toUnicode(std::uint16_t code) {
  char32_t& slot = table_[code];
  if (slot == kUnknown) slot = convert(code);
  return slot;
}

}  // namespace volta::wrd
