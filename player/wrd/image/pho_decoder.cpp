#include "player/wrd/image/pho_decoder.h"

#include <algorithm>

#include "player/wrd/image/file_bytes.h"

namespace volta::wrd::image {

IndexedImage decodePho(std::span<const std::uint8_t> file) {
  std::vector<std::uint8_t> planes(kPhoFileSize, 0);
  std::copy_n(file.begin(), std::min(file.size(), planes.size()), planes.begin());
  IndexedImage image{kPhoWidth, kPhoHeight, std::vector<std::uint8_t>(kPhoWidth * kPhoHeight)};
  std::uint8_t* out = image.pixels.data();
  for (std::size_t i = 0; i < kPhoPlaneSize; ++i) {
    const unsigned bit0 = planes[i];
    const unsigned bit1 = planes[kPhoPlaneSize + i];
    const unsigned bit2 = planes[2 * kPhoPlaneSize + i];
    for (int shift = 7; shift >= 0; --shift) {  // most significant bit is the leftmost pixel
      *out++ = static_cast<std::uint8_t>((bit0 >> shift & 1) | (bit1 >> shift & 1) << 1 | (bit2 >> shift & 1) << 2);
    }
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
