#include "player/wrd/image/gif_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "picture_writers.h"
#include "player/wrd/image/gif_lzw.h"
#include "tests/support/test_support.h"

namespace volta::wrd::image::test {
namespace {

std::vector<std::uint8_t> noise(std::size_t count, int colours, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> pixels(count);
  for (auto& p : pixels) p = static_cast<std::uint8_t>(random() % colours);
  return pixels;
}

GifSpec pictureSpec(int width, int height, int colours, unsigned seed) {
  GifSpec spec;
  spec.width = width;
  spec.height = height;
  spec.globalTable = colourRamp(colours);
  spec.pixels = noise(static_cast<std::size_t>(width) * height, colours, seed);
  int bits = 2;
  while ((1 << bits) < colours) ++bits;
  spec.lzw.minCodeSize = bits;
  return spec;
}

GifImage decoded(const Bytes& file) {
  GifImage image;
  EXPECT_TRUE(decodeGif(file, image));
  return image;
}

bool rejected(const Bytes& file) {
  GifImage image;
  image.width = 5;
  image.pixels = {1, 2, 3};
  const bool ok = decodeGif(file, image);
  // A failure leaves nothing behind from the attempt or from before it.
  EXPECT_TRUE(ok || (image.pixels.empty() && image.width == 0 && image.transparentIndex == -1));
  return !ok;
}

// A 2x2 GIF87a picture written out byte by byte: pixels 0 1 / 1 0, codes (clear) 0 1 1 0 (end)
// of 3, 3, 3, 3, 4 and 4 bits.
TEST(GifDecoder, HandWrittenGif87aPicture) {
  const Bytes file{'G', 'I', 'F', '8', '7', 'a', 2, 0, 2, 0, 0x81, 0, 0,  // screen with 4 colours
                   10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120,     // global table
                   ',', 0, 0, 0, 0, 2, 0, 2, 0, 0,                        // image descriptor
                   2, 3, 0x44, 0x02, 0x05, 0,                             // code size, data
                   ';'};
  const GifImage image = decoded(file);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_FALSE(image.interlaced);
  EXPECT_EQ(image.transparentIndex, -1);
  EXPECT_EQ(image.colourCount, 4);
  EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0, 1, 1, 0}));
  EXPECT_EQ(image.palette[1].red, 40);
  EXPECT_EQ(image.palette[3].blue, 120);
}

TEST(GifDecoder, EncodedPicturesDecodeToThemselvesInBothVersions) {
  for (const bool gif89a : {false, true}) {
    GifSpec spec = pictureSpec(37, 23, 16, 1);
    spec.gif89a = gif89a;
    const GifImage image = decoded(encodeGif(spec));
    EXPECT_EQ(image.width, 37);
    EXPECT_EQ(image.height, 23);
    EXPECT_EQ(image.pixels, spec.pixels);
    EXPECT_EQ(image.colourCount, 16);
    EXPECT_EQ(image.palette[15].green, spec.globalTable[15].green);
  }
}

TEST(GifDecoder, GraphicControlExtensionGivesTheTransparentIndexOnlyWhenFlagged) {
  GifSpec spec = pictureSpec(8, 8, 16, 2);
  spec.transparentIndex = 5;
  EXPECT_EQ(decoded(encodeGif(spec)).transparentIndex, 5);

  Bytes unflagged = encodeGif(spec);
  const auto extension = std::search(unflagged.begin(), unflagged.end(), std::begin({'!', 0xF9}), std::end({'!', 0xF9}));
}

}  // namespace
}  // namespace volta::wrd::image::test
