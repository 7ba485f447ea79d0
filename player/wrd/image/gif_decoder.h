#pragma once
// GIF pictures (GIF87a and GIF89a): the first image of the file with its colours.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace volta::wrd::image {

struct GifColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

struct GifImage {
  int width = 0;
  int height = 0;
  bool interlaced = false;    // as stored; `pixels` is already in top-down order
  int transparentIndex = -1;  // -1: no transparent colour
  int colourCount = 0;        // entries of the colour table in effect (0: none)
  std::array<GifColour, 256> palette{};
  std::vector<std::uint8_t> pixels;  // width x height colour indices, rows top-down
};

// Decodes the first image of `file` into `image`. False when the file is not a GIF, holds no
// image, lacks bytes it needs, has a corrupt code stream or an image of more than
// kMaxPicturePixels; `image` is then emptied.
bool decodeGif(std::span<const std::uint8_t> file, GifImage& image);

// decodeGif on the whole contents of a file; false when it cannot be read.
bool loadGif(const std::filesystem::path& path, GifImage& image);

}  // namespace volta::wrd::image
