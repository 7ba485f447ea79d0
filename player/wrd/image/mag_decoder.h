#pragma once
// MAG pictures: 16 colours with a palette, compressed by flag bytes that either take the next
// word of pixel data or copy a word already decoded nearby.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "player/wrd/image/indexed_image.h"

namespace volta::wrd::image {

struct MagColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// 16 palette entries of 12 bits, 0xRGB.
using Rgb12Palette = std::array<std::uint16_t, 16>;

// The fixed part of a MAG file after its comment. Offsets are relative to `headerStart`, the
// file position just after the comment's closing 0x1A byte.
struct MagHeader {
  std::size_t headerStart = 0;
  int xStart = 0;
  int yStart = 0;
  int xEnd = 0;
  int yEnd = 0;
  std::uint32_t flagAOffset = 0;
  std::uint32_t flagBOffset = 0;
  std::uint32_t pixelOffset = 0;
  std::array<MagColour, 16> palette{};

  // Flag bytes per row; each covers 8 pixels.
  int units() const { return (xEnd >> 3) - (xStart >> 3) + 1; }
  int width() const { return 8 * units(); }
  int height() const { return yEnd - yStart + 1; }
};

// The header and palette, or nothing when the file has no complete header or describes no
// picture.
std::optional<MagHeader> readMagHeader(std::span<const std::uint8_t> file);

// The picture's colours 0..15, or nothing when a stream it needs runs past the end of the file
// or the picture has more than kMaxPicturePixels.
std::optional<IndexedImage> decodeMagPixels(std::span<const std::uint8_t> file, const MagHeader& header);

Rgb12Palette toRgb12(const std::array<MagColour, 16>& palette);

struct MagRequest {
  int x = -1;  // -1: the position stored in the picture
  int y = -1;
  int reduction = 1;  // n keeps every n-th pixel of every n-th row
  bool paletteOnly = false;
};

// Where the picture went and how large it was drawn.
struct MagPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Decodes `file` onto `page` at the requested place, x rounded down to a multiple of 8, and
// stores its palette. True when the picture was drawn. With `paletteOnly` only the palette and
// placement are filled in and the result is false, as no picture was drawn. On failure the
// page, palette and placement are left untouched.
bool drawMag(std::span<const std::uint8_t> file, ImageTarget& page, Rgb12Palette& palette, const MagRequest& request,
             MagPlacement* placement = nullptr);

// drawMag on the whole contents of a file; false when it cannot be read.
bool loadMag(const std::filesystem::path& path, ImageTarget& page, Rgb12Palette& palette, const MagRequest& request,
             MagPlacement* placement = nullptr);

}  // namespace volta::wrd::image
