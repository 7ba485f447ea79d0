#include "player/core/byte_text.h"

#include <algorithm>

namespace volta::core {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

std::string upperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return upperAscii(c); });
  return out;
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

}  // namespace volta::core
