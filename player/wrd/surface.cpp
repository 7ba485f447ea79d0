#include "player/wrd/surface.h"

#include <algorithm>
#include <cstring>

namespace volta::wrd {

void Surface::fill(std::uint8_t value) {
  std::fill(bytes_.begin(), bytes_.end(), value);
}

// Rows lie bottom-up, so a band of rows starts at its last row.
void Surface::moveRows(int to, int from, int count) {
  if (count <= 0) return;
  std::memmove(row(to + count - 1), row(from + count - 1), bandBytes(count));
}

void Surface::fillRows(int first, int count, std::uint8_t value) {
  if (count <= 0) return;
  std::memset(row(first + count - 1), value, bandBytes(count));
}

}  // namespace volta::wrd
