#pragma once
// The variable-length-code decompression of GIF image data.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace volta::wrd::image {

// Decodes `pixelCount` pixels from `codes` (the image's data sub-blocks joined), whose codes
// start `minCodeSize` + 1 bits wide and grow to 12 bits. Codes after the last pixel are not
// read. False on a code that the table does not hold yet, a code stream that ends (by running
// out or by the end code) before every pixel is decoded, or a code size outside 2..8; `pixels`
// then holds what was decoded so far. `pixels` grows only as codes produce pixels.
bool decodeGifLzw(std::span<const std::uint8_t> codes, int minCodeSize, std::size_t pixelCount,
                  std::vector<std::uint8_t>& pixels);

// The rows of an interlaced picture of `height` rows in the order they are stored: every 8th
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> interlacedRowOrder(int height);

}  // namespace volta::wrd::image
