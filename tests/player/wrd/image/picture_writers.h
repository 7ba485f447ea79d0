#pragma once
// Writers of MAG, PHO and GIF files for the decoder tests, the fuzz seeds and the benchmarks.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "player/wrd/image/gif_decoder.h"
#include "player/wrd/image/indexed_image.h"
#include "player/wrd/image/mag_decoder.h"

namespace volta::wrd::image::test {

using Bytes = std::vector<std::uint8_t>;

// The parts of a MAG file, streams given as they are stored.
struct MagStreams {
  std::string comment = "MAKI02  TEST    ";
  int xStart = 0;
  int yStart = 0;
  int xEnd = 7;
  int yEnd = 0;
  std::array<MagColour, 16> palette{};
  Bytes flagA{};
  Bytes flagB{};
  Bytes pixels{};
};

// Where the header's fields lie in a file from assembleMag with `comment`.
inline std::size_t magHeaderStart(const std::string& comment) {
  return comment.size() + 1;
}
inline constexpr std::size_t kMagFlagAOffsetField = 12;
inline constexpr std::size_t kMagFlagBOffsetField = 16;
inline constexpr std::size_t kMagPixelOffsetField = 24;

Bytes assembleMag(const MagStreams& streams);

// Compresses `image` (width a multiple of 8, colours 0..15) placed at (xStart, yStart), using
// copies from earlier words wherever one matches.
Bytes encodeMag(const IndexedImage& image, int xStart, int yStart, const std::array<MagColour, 16>& palette);

// A PHO file of a 640x400 picture of colours 0..7.
Bytes writePho(const IndexedImage& image);

// Bits packed most significant first, as MAG's flag A stream.
Bytes packBits(const std::vector<bool>& bits);

// Code streams: codes of the given widths packed least significant bit first.
Bytes packCodes(const std::vector<std::pair<int, int>>& codesAndWidths);

struct LzwOptions {
  int minCodeSize = 8;
  bool clearWhenFull = true;  // otherwise go on with the full table
};

Bytes encodeLzw(const std::vector<std::uint8_t>& pixels, const LzwOptions& options);

struct GifContent {
  bool gif89a = true;
  int width = 1;
  int height = 1;
  std::vector<std::uint8_t> pixels;    // top-down
  std::vector<GifColour> globalTable;  // a power of two of 2..256 entries, or empty
  std::vector<GifColour> localTable;
  bool interlaced = false;  // rows are then stored in the four passes
  int transparentIndex = -1;
  bool commentExtension = false;  // a comment block before the image
  LzwOptions lzw;
  std::size_t subBlockSize = 255;
};

Bytes encodeGif(const GifContent& gif);

// `count` colours of a recognisable ramp.
std::vector<GifColour> colourRamp(int count);

// A 16-colour picture with areas, stripes and noise, to exercise every kind of MAG copy.
IndexedImage samplePicture(int width, int height, unsigned seed);

}  // namespace volta::wrd::image::test
