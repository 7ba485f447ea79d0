// MAG files of any content: decoding must stay inside the file and drawing inside the page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "player/wrd/image/mag_decoder.h"

namespace {

using volta::wrd::image::BufferTarget;
using volta::wrd::image::MagPlacement;
using volta::wrd::image::MagRequest;
using volta::wrd::image::Rgb12Palette;

// Draws with `request` and checks that a reported success describes a picture.
void drawOnce(std::span<const std::uint8_t> file, const MagRequest& request) {
  static BufferTarget page(640, 480);  // its content does not matter, only where it is written
  Rgb12Palette palette{};
  MagPlacement placement;
  if (drawMag(file, page, palette, request, &placement) && (placement.width <= 0 || placement.height <= 0)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  drawOnce(file, MagRequest{});
  drawOnce(file, MagRequest{.x = -13, .y = 470, .reduction = 2});
  drawOnce(file, MagRequest{.x = 632, .y = -5, .reduction = 3});
  return 0;
}
