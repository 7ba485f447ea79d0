#include "player/wrd/surface.h"

#include <algorithm>

namespace volta::wrd {

void Surface::fill(std::uint8_t value) {
  std::fill(bytes_.begin(), bytes_.end(), value);
}

}  // namespace volta::wrd
