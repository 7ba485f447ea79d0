#include "player/wrd/image/pho_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "player/wrd/image/file_bytes.h"

namespace volta::wrd::image {

namespace {

// Each byte of a plane spread over the eight pixels it covers, one byte per pixel holding the
// bit (0 or 1), leftmost pixel first in memory. Shifting the 64-bit value never carries from
// one pixel into the next, so three planes combine with two shifts and two ORs.
using SpreadTable = std::array<std::uint64_t, 256>;

SpreadTable makeSpreadTable() {
  SpreadTable table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::array<std::uint8_t, 8> pixels{};
    for (int i = 0; i < 8; ++i)
      pixels[i] = static_cast<std::uint8_t>(byte >> (7 - i) & 1);
    std::memcpy(&table[byte], pixels.data(), pixels.size());
  }
  return table;
}

}  // namespace

IndexedImage decodePho(std::span<const std::uint8_t> file) {
  static const SpreadTable spread = makeSpreadTable();
  std::vector<std::uint8_t> planes(kPhoFileSize, 0);
  std::copy_n(file.begin(), std::min(file.size(), planes.size()), planes.begin());
  IndexedImage image{kPhoWidth, kPhoHeight, std::vector<std::uint8_t>(kPhoWidth * kPhoHeight)};
  for (std::size_t i = 0; i < kPhoPlaneSize; ++i) {
    const std::uint64_t eight =
        spread[planes[i]] | spread[planes[kPhoPlaneSize + i]] << 1 | spread[planes[2 * kPhoPlaneSize + i]] << 2;
    std::memcpy(&image.pixels[8 * i], &eight, sizeof eight);
  }
  return image;
}

bool loadPho(const std::filesystem::path& path, ImageTarget& page) {
  const auto bytes = readPictureFile(path);
  if (!bytes) return false;
  placeImage(decodePho(*bytes), page, 0, 0);
  return true;
}

}  // namespace volta::wrd::image
