// GIF files of any content: a decoded image must be complete, a failure must leave none.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "player/wrd/image/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace volta::wrd::image;
  GifImage image;
  const bool ok = decodeGif(std::span<const std::uint8_t>(data, size), image);
  const std::size_t expected = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (ok ? (expected == 0 || image.pixels.size() != expected) : !image.pixels.empty()) std::abort();
  return 0;
}
