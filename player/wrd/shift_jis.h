#pragma once
// Shift JIS helpers for the WRD text screen: lead bytes, the JIS row/cell code, and
// Unicode through the CP932 table (which keeps 0x5C a backslash and knows the NEC rows).

#include <cstdint>
#include <vector>

namespace volta::wrd {

bool isShiftJisLead(std::uint8_t byte);

// JIS X 0208 code of a Shift JIS pair, or 0 when the pair lies outside JIS
// (user-defined rows, bad trail bytes).
std::uint16_t shiftJisToJis(std::uint8_t lead, std::uint8_t trail);

// Unicode of a Shift JIS code (a single byte or lead << 8 | trail); results are remembered.
class Cp932Decoder {
 public:
  Cp932Decoder();
  ~Cp932Decoder();
  Cp932Decoder(const Cp932Decoder&) = delete;
  Cp932Decoder& operator=(const Cp932Decoder&) = delete;
  // 0 when CP932 has no character there.
  char32_t toUnicode(std::uint16_t code);

 private:
  char32_t convert(std::uint16_t code);

  void* converter_;  // iconv descriptor, or null when the system lacks CP932
  std::vector<char32_t> table_;
};

}  // namespace volta::wrd
