#include "player/wrd/image/indexed_image.h"

#include <algorithm>
#include <cstring>

namespace volta::wrd::image {

BufferTarget::BufferTarget(int width, int height, std::uint8_t fill) {
  image_.width = std::max(width, 0);
  image_.height = std::max(height, 0);
  image_.pixels.assign(static_cast<std::size_t>(image_.width) * image_.height, fill);
}

void BufferTarget::writeSpan(int x, int y, std::span<const std::uint8_t> pixels) {
  std::memcpy(&image_.pixels[static_cast<std::size_t>(y) * image_.width + x], pixels.data(), pixels.size());
}

int reducedSize(int size, int reduction) {
  return size <= 0 ? 0 : (size + reduction - 1) / reduction;
}

void placeImage(const IndexedImage& image, ImageTarget& target, int x, int y, int reduction) {
  const int f = std::max(reduction, 1);
  const int columns = reducedSize(image.width, f);
  const int rows = reducedSize(image.height, f);
  // The columns and rows of the reduced picture that land inside the target (64-bit, as a
  // caller's position may be anywhere).
  const auto first = static_cast<int>(std::clamp<long long>(-static_cast<long long>(x), 0, columns));
  const auto last = static_cast<int>(std::clamp<long long>(static_cast<long long>(target.width()) - x, 0, columns));
  const auto top = static_cast<int>(std::clamp<long long>(-static_cast<long long>(y), 0, rows));
  const auto bottom = static_cast<int>(std::clamp<long long>(static_cast<long long>(target.height()) - y, 0, rows));
  if (first >= last) return;
  std::vector<std::uint8_t> span(static_cast<std::size_t>(last - first));
  for (int k = top; k < bottom; ++k) {
    const std::uint8_t* source = &image.pixels[static_cast<std::size_t>(k) * f * image.width];
    for (int i = first; i < last; ++i)
      span[i - first] = source[static_cast<std::size_t>(i) * f];
    target.writeSpan(x + first, y + k, span);
  }
}

}  // namespace volta::wrd::image
