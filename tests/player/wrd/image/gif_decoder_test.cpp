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
  for (auto& p : pixels)
    p = static_cast<std::uint8_t>(random() % colours);
  return pixels;
}

GifContent noiseGif(int width, int height, int colours, unsigned seed) {
  GifContent gif;
  gif.width = width;
  gif.height = height;
  gif.globalTable = colourRamp(colours);
  gif.pixels = noise(static_cast<std::size_t>(width) * height, colours, seed);
  int bits = 2;
  while ((1 << bits) < colours)
    ++bits;
  gif.lzw.minCodeSize = bits;
  return gif;
}

GifImage decoded(const Bytes& file) {
  GifImage image;
  EXPECT_TRUE(decodeGif(file, image));
  return image;
}

// Where `pattern` first occurs in `file`.
std::size_t find(const Bytes& file, const Bytes& pattern) {
  const auto at = std::search(file.begin(), file.end(), pattern.begin(), pattern.end());
  EXPECT_NE(at, file.end());
  return static_cast<std::size_t>(at - file.begin());
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
  const Bytes file{'G', 'I', 'F',  '8',  '7',  'a', 2,  0,  2,  0,   0x81, 0,   0,  // screen with 4 colours
                   10,  20,  30,   40,   50,   60,  70, 80, 90, 100, 110,  120,     // global table
                   ',', 0,   0,    0,    0,    2,   0,  2,  0,  0,                  // image descriptor
                   2,   3,   0x44, 0x02, 0x05, 0,                                   // code size, data
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
    GifContent gif = noiseGif(37, 23, 16, 1);
    gif.gif89a = gif89a;
    const GifImage image = decoded(encodeGif(gif));
    EXPECT_EQ(image.width, 37);
    EXPECT_EQ(image.height, 23);
    EXPECT_EQ(image.pixels, gif.pixels);
    EXPECT_EQ(image.colourCount, 16);
    EXPECT_EQ(image.palette[15].green, gif.globalTable[15].green);
  }
}

TEST(GifDecoder, GraphicControlExtensionGivesTheTransparentIndexOnlyWhenFlagged) {
  GifContent gif = noiseGif(8, 8, 16, 2);
  gif.transparentIndex = 5;
  Bytes file = encodeGif(gif);
  EXPECT_EQ(decoded(file).transparentIndex, 5);

  file[find(file, {'!', 0xF9}) + 3] = 0x04;  // a disposal method but no transparency
  EXPECT_EQ(decoded(file).transparentIndex, -1);
}

TEST(GifDecoder, LocalColourTableReplacesTheGlobalOne) {
  GifContent gif = noiseGif(8, 4, 4, 3);
  gif.localTable = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
  const GifImage image = decoded(encodeGif(gif));
  EXPECT_EQ(image.colourCount, 4);
  EXPECT_EQ(image.palette[0].red, 1);
  EXPECT_EQ(image.palette[3].blue, 12);
  gif.globalTable.clear();
  EXPECT_EQ(decoded(encodeGif(gif)).palette[2].green, 8);  // a local table alone is enough
  gif.localTable.clear();
  EXPECT_EQ(decoded(encodeGif(gif)).colourCount, 0);  // no table at all
}

TEST(GifDecoder, ExtensionsBeforeTheImageAreSkipped) {
  GifContent gif = noiseGif(9, 9, 8, 4);
  gif.commentExtension = true;
  gif.transparentIndex = 3;
  const GifImage image = decoded(encodeGif(gif));
  EXPECT_EQ(image.pixels, gif.pixels);
  EXPECT_EQ(image.transparentIndex, 3);
}

TEST(GifDecoder, InterlacedRowsArePutBackInOrder) {
  EXPECT_EQ(interlacedRowOrder(10), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
  EXPECT_EQ(interlacedRowOrder(1), (std::vector<int>{0}));
  for (const int height : {1, 2, 5, 8, 29}) {
    GifContent gif = noiseGif(6, height, 16, 5);
    gif.interlaced = true;
    const GifImage image = decoded(encodeGif(gif));
    EXPECT_TRUE(image.interlaced);
    EXPECT_EQ(image.pixels, gif.pixels) << "height " << height;
  }
}

TEST(GifDecoder, CodesGrowTo12BitsAcrossClearsAndAFullTable) {
  // 40000 pixels of noise need far more than 4096 codes, so the table fills.
  for (const bool clearWhenFull : {true, false}) {
    GifContent gif = noiseGif(200, 200, 256, 6);
    gif.lzw.clearWhenFull = clearWhenFull;
    EXPECT_EQ(decoded(encodeGif(gif)).pixels, gif.pixels) << "clear when full " << clearWhenFull;
  }
}

TEST(GifDecoder, RunsUseTheCodeBeingDefinedAndLongStrings) {
  GifContent gif = noiseGif(300, 300, 2, 7);
  std::fill(gif.pixels.begin(), gif.pixels.end(), 1);  // strings grow by one pixel per code
  gif.pixels[1234] = 0;
  EXPECT_EQ(decoded(encodeGif(gif)).pixels, gif.pixels);
}

TEST(GifDecoder, OneByteSubBlocksAreJoined) {
  GifContent gif = noiseGif(13, 5, 2, 8);
  gif.subBlockSize = 1;
  EXPECT_EQ(decoded(encodeGif(gif)).pixels, gif.pixels);
}

TEST(GifDecoder, CodesAfterTheLastPixelAreNotNeeded) {
  // 1x2 picture: clear, 0, 1, then a code that is not valid; the picture is complete before it.
  const Bytes codes = packCodes({{4, 3}, {0, 3}, {1, 3}, {7, 3}});
  std::vector<std::uint8_t> pixels;
  EXPECT_TRUE(decodeGifLzw(codes, 2, 2, pixels));
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 1}));
  // A code whose string is longer than the room left is cut.
  EXPECT_TRUE(decodeGifLzw(packCodes({{4, 3}, {0, 3}, {6, 3}}), 2, 2, pixels));
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 0}));
}

TEST(GifLzw, BrokenCodeStreamsAreRejected) {
  std::vector<std::uint8_t> pixels;
  EXPECT_FALSE(decodeGifLzw(packCodes({{4, 3}, {0, 3}, {7, 3}}), 2, 4, pixels)) << "code beyond the next free one";
  EXPECT_FALSE(decodeGifLzw(packCodes({{4, 3}, {6, 3}}), 2, 4, pixels)) << "free code right after a clear";
  EXPECT_FALSE(decodeGifLzw(packCodes({{4, 3}, {0, 3}, {5, 3}}), 2, 4, pixels)) << "end code too early";
  // The padding bits of the last byte read as codes 0, so ask for more pixels than they give.
  EXPECT_FALSE(decodeGifLzw(packCodes({{4, 3}, {0, 3}, {1, 3}}), 2, 100, pixels)) << "codes run out";
  EXPECT_FALSE(decodeGifLzw({}, 2, 1, pixels)) << "no codes";
  EXPECT_FALSE(decodeGifLzw(packCodes({{2, 2}, {1, 2}}), 1, 1, pixels)) << "code size 1";
  EXPECT_FALSE(decodeGifLzw(packCodes({{1, 10}}), 9, 1, pixels)) << "code size 9";
}

TEST(GifDecoderBadInput, FilesWithoutADecodableImageAreRejected) {
  const Bytes good = encodeGif(noiseGif(20, 10, 16, 9));
  EXPECT_FALSE(rejected(good));
  Bytes notGif = good;
  notGif[4] = '8';  // "GIF88a"
  EXPECT_TRUE(rejected(notGif));
  Bytes trailerFirst(good.begin(), good.begin() + 13 + 48);
  trailerFirst.push_back(';');
  trailerFirst.insert(trailerFirst.end(), good.begin() + 13 + 48, good.end());
  EXPECT_TRUE(rejected(trailerFirst));
  Bytes unknownBlock = trailerFirst;
  unknownBlock[13 + 48] = 0x00;
  EXPECT_TRUE(rejected(unknownBlock));
  Bytes noWidth = good;
  noWidth[find(good, {',', 0, 0, 0, 0}) + 5] = 0;
  noWidth[find(good, {',', 0, 0, 0, 0}) + 6] = 0;
  EXPECT_TRUE(rejected(noWidth));
  Bytes hugeSize = good;  // 65535 x 65535 pixels from a few hundred bytes of codes
  std::fill_n(hugeSize.begin() + static_cast<std::ptrdiff_t>(find(good, {',', 0, 0, 0, 0})) + 5, 4, 0xFF);
  EXPECT_TRUE(rejected(hugeSize));
}

TEST(GifDecoderBadInput, EveryTruncatedFileIsRejected) {
  GifContent gif = noiseGif(12, 9, 16, 10);
  gif.transparentIndex = 2;
  gif.commentExtension = true;
  Bytes file = encodeGif(gif);
  file.pop_back();  // the trailer is not needed
  EXPECT_FALSE(rejected(file));
  for (std::size_t size = 0; size < file.size(); ++size) {
    EXPECT_TRUE(rejected(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)))) << size;
  }
}

TEST(GifFiles, LoadingReadsTheWholeFileAndAMissingFileFails) {
  volta::test::TempDir dir;
  const GifContent gif = noiseGif(30, 20, 64, 11);
  volta::test::writeFile(dir / "PIC.GIF", encodeGif(gif));
  GifImage image;
  ASSERT_TRUE(loadGif(dir / "PIC.GIF", image));
  EXPECT_EQ(image.pixels, gif.pixels);
  EXPECT_FALSE(loadGif(dir / "NONE.GIF", image));
  EXPECT_TRUE(image.pixels.empty());
}

}  // namespace
}  // namespace volta::wrd::image::test
