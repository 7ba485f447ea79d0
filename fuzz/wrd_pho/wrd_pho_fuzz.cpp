// PHO files of any length: short ones count as zero-filled, nothing is read past the end.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "player/wrd/image/pho_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace volta::wrd::image;
  const IndexedImage image = decodePho(std::span<const std::uint8_t>(data, size));
  std::uint8_t planes = 0;  // every bit any pixel has
  for (const std::uint8_t colour : image.pixels)
    planes |= colour;
  if (planes > 7) std::abort();
  static BufferTarget page(640, 480);  // its content does not matter, only where it is written
  placeImage(image, page, 0, 0);
  return 0;
}
