#include "player/wrd/image/mag_decoder.h"

#include <gtest/gtest.h>

#include "guarded_target.h"
#include "picture_writers.h"
#include "player/wrd/image/page_pictures.h"
#include "tests/support/test_support.h"

namespace volta::wrd::image::test {
namespace {

constexpr Rgb12Palette kUntouchedPalette{0x777, 0x777, 0x777, 0x777, 0x777, 0x777, 0x777, 0x777,
                                         0x777, 0x777, 0x777, 0x777, 0x777, 0x777, 0x777, 0x777};

std::array<MagColour, 16> testPalette() {
  std::array<MagColour, 16> palette{};
  for (int i = 0; i < 16; ++i) {
    palette[i] = MagColour{static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 16),
                           static_cast<std::uint8_t>(i * 8)};
  }
  return palette;
}

struct Drawn {
  bool ok = false;
  GuardedTarget page;
  Rgb12Palette palette = kUntouchedPalette;
  MagPlacement placement{-9, -9, -9, -9};
};

Drawn draw(const Bytes& file, const MagRequest& request = {}) {
  Drawn d;
  d.ok = drawMag(file, d.page, d.palette, request, &d.placement);
  return d;
}

void expectPlacement(const MagPlacement& p, int x, int y, int width, int height) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.width, width);
  EXPECT_EQ(p.height, height);
}

// Pixel (x, y) of the page equals pixel (x - atX, y - atY) of the picture inside the given
// page rectangle, and the page is untouched elsewhere.
void expectPictureAt(const Drawn& d, const IndexedImage& picture, int atX, int atY) {
  for (int y = 0; y < d.page.height(); ++y) {
    for (int x = 0; x < d.page.width(); ++x) {
      const int px = x - atX, py = y - atY;
      const bool inside = px >= 0 && py >= 0 && px < picture.width && py < picture.height;
      const int expected = inside ? picture.at(px, py) : kUntouched;
      ASSERT_EQ(d.page.at(x, y), expected) << "at (" << x << ", " << y << ")";
    }
  }
}

TEST(MagDecoder, EncodedPictureDecodesToItselfAtItsStoredPosition) {
  const IndexedImage picture = samplePicture(640, 400, 1);
  const Drawn d = draw(encodeMag(picture, 0, 0, testPalette()));
  ASSERT_TRUE(d.ok);
  expectPlacement(d.placement, 0, 0, 640, 400);
  expectPictureAt(d, picture, 0, 0);  // rows 400..479 stay as they were
  EXPECT_EQ(d.palette, toRgb12(testPalette()));
}

TEST(MagDecoder, PaletteIsStoredGreenRedBlueAndKeepsTheHighNibbles) {
  MagStreams s;
  s.flagA = {0x00};
  s.pixels = {0, 0, 0, 0};
  Bytes file = assembleMag(s);
  const std::size_t palette = magHeaderStart(s.comment) + 32;
  file[palette + 0] = 0x12;  // entry 0: green, red, blue
  file[palette + 1] = 0xAB;
  file[palette + 2] = 0xFF;
  file[palette + 45] = 0xF0;  // entry 15
  file[palette + 46] = 0x0F;
  file[palette + 47] = 0x10;
  const Drawn d = draw(file);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.palette[0], 0xA1F);
  EXPECT_EQ(d.palette[15], 0x0F1);
}

TEST(MagDecoder, FlagBytesCarryOverFromRowToRowAndWordsHoldPixelsHighNibbleFirst) {
  MagStreams s;  // one unit: 8 pixels, 2 words per row
  s.yEnd = 3;
  // Row 0 literal; row 1 changes the flag byte to 0x44 (both words from the row above); row 2
  // keeps it; row 3 changes it back to literal.
  s.flagA = packBits({false, true, false, true});
  s.flagB = {0x44, 0x44};
  s.pixels = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
  const Drawn d = draw(assembleMag(s));
  ASSERT_TRUE(d.ok);
  const std::array<std::array<int, 8>, 4> expected{
      {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 0}}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(d.page.at(x, y), expected[y][x]) << x << "," << y;
  }
}

// Rows 0..16 hold distinct literal words; row 17 has words 0..3 and 19 literal and word 4 + k
// copied by flag nibble k + 1, so every copy offset is checked against a known source.
TEST(MagDecoder, EveryFlagNibbleCopiesTheWordAtItsOffset) {
  constexpr int kWords = 20, kRows = 18;
  constexpr std::array<int, 16> dx{0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
  constexpr std::array<int, 16> dy{0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
  MagStreams s;
  s.xEnd = kWords * 4 - 1;
  s.yEnd = kRows - 1;
  std::array<std::array<int, kWords>, kRows> words{};  // 16-bit word values, first byte high
  const auto literal = [&](int row, int word) {
    words[row][word] = (row * kWords + word + 1) * 37 % 65536;
    s.pixels.push_back(static_cast<std::uint8_t>(words[row][word] >> 8));
    s.pixels.push_back(static_cast<std::uint8_t>(words[row][word]));
  };
  std::vector<bool> flagBits;
  for (int row = 0; row < kRows - 1; ++row) {
    for (int word = 0; word < kWords; ++word)
      literal(row, word);
    flagBits.insert(flagBits.end(), kWords / 2, false);
  }
  for (int word = 0; word < 4; ++word)
    literal(kRows - 1, word);
  for (int n = 1; n < 16; ++n)
    words[kRows - 1][3 + n] = words[kRows - 1 - dy[n]][3 + n - dx[n]];
  literal(kRows - 1, kWords - 1);
  flagBits.insert(flagBits.end(), {false, false, true, true, true, true, true, true, true, true});
  s.flagA = packBits(flagBits);
  s.flagB = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
  const Drawn d = draw(assembleMag(s));
  ASSERT_TRUE(d.ok);
  for (int word = 0; word < kWords; ++word) {
    const int v = words[kRows - 1][word];
    const std::array<int, 4> pixels{v >> 12 & 15, v >> 8 & 15, v >> 4 & 15, v & 15};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(d.page.at(word * 4 + i, kRows - 1), pixels[i]) << "word " << word;
  }
}

TEST(MagDecoder, CopiesFromOutsideThePictureGiveColourZero) {
  MagStreams s;
  s.flagA = packBits({true});
  s.flagB = {0x1F};  // word 0 from the left of the row, word 1 from 16 rows above
  const Drawn d = draw(assembleMag(s));
  ASSERT_TRUE(d.ok);
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(d.page.at(x, 0), 0);
  EXPECT_EQ(d.page.at(8, 0), kUntouched);
}

TEST(MagPlacement, StoredXStartIsRoundedDownToAMultipleOf8) {
  const IndexedImage picture = samplePicture(32, 10, 2);
  const Drawn stored = draw(encodeMag(picture, 13, 7, testPalette()));
  ASSERT_TRUE(stored.ok);
  expectPlacement(stored.placement, 8, 7, 32, 10);
  expectPictureAt(stored, picture, 8, 7);

  const Drawn given = draw(encodeMag(picture, 13, 7, testPalette()), MagRequest{.x = 21, .y = 3});
  ASSERT_TRUE(given.ok);
  expectPlacement(given.placement, 16, 3, 32, 10);
  expectPictureAt(given, picture, 16, 3);
}

TEST(MagPlacement, ReductionTwoDrawsEveryOtherPixelOfEveryOtherRow) {
  const IndexedImage picture = samplePicture(640, 400, 3);
  const Drawn d = draw(encodeMag(picture, 0, 0, testPalette()), MagRequest{.reduction = 2});
  ASSERT_TRUE(d.ok);
  expectPlacement(d.placement, 0, 0, 320, 200);
  IndexedImage reduced{320, 200, {}};
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x)
      reduced.pixels.push_back(picture.at(2 * x, 2 * y));
  }
  expectPictureAt(d, reduced, 0, 0);
}

TEST(MagPlacement, ReducedSizeCountsThePartlyCoveredLastPixel) {
  const IndexedImage picture = samplePicture(16, 7, 4);
  const Drawn d = draw(encodeMag(picture, 0, 0, testPalette()), MagRequest{.reduction = 3});
  ASSERT_TRUE(d.ok);
  expectPlacement(d.placement, 0, 0, 6, 3);  // columns 0, 3, .. 15 and rows 0, 3, 6
  EXPECT_EQ(d.page.at(5, 2), picture.at(15, 6));
  EXPECT_EQ(d.page.at(6, 2), kUntouched);
}

TEST(MagPlacement, PictureIsClippedAtTheBottomAndRightOfThePage) {
  const IndexedImage picture = samplePicture(640, 400, 5);
  const Drawn low = draw(encodeMag(picture, 0, 0, testPalette()), MagRequest{.x = 0, .y = 300});
  ASSERT_TRUE(low.ok);
  expectPlacement(low.placement, 0, 300, 640, 400);
  expectPictureAt(low, picture, 0, 300);  // rows 300..479 only

  const IndexedImage small = samplePicture(64, 8, 6);
  const Drawn right = draw(encodeMag(small, 0, 0, testPalette()), MagRequest{.x = 600, .y = 0});
  ASSERT_TRUE(right.ok);
  expectPictureAt(right, small, 600, 0);

  const Drawn above = draw(encodeMag(small, 0, 0, testPalette()), MagRequest{.x = -16, .y = -3});
  ASSERT_TRUE(above.ok);
  expectPictureAt(above, small, -16, -3);
}

TEST(MagPlacement, PaletteOnlyFillsPaletteAndPlacementAndDrawsNothing) {
  const Drawn d = draw(encodeMag(samplePicture(64, 8, 7), 24, 40, testPalette()), MagRequest{.paletteOnly = true});
  EXPECT_FALSE(d.ok);
  EXPECT_TRUE(d.page.untouched());
  EXPECT_EQ(d.palette, toRgb12(testPalette()));
  expectPlacement(d.placement, 24, 40, 64, 8);
}

void expectRejected(const Bytes& file, const std::string& what) {
  const Drawn d = draw(file);
  EXPECT_FALSE(d.ok) << what;
  EXPECT_TRUE(d.page.untouched()) << what;
  EXPECT_EQ(d.palette, kUntouchedPalette) << what;
  EXPECT_EQ(d.placement.x, -9) << what;
}

TEST(MagDecoderBadInput, EveryTruncatedFileIsRejectedWithoutChangingAnything) {
  const Bytes file = encodeMag(samplePicture(32, 20, 8), 0, 0, testPalette());
  for (std::size_t size = 0; size < file.size(); ++size) {
    expectRejected(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)),
                   "cut to " + std::to_string(size));
  }
}

TEST(MagDecoderBadInput, StreamOffsetsPastTheEndAreRejected) {
  const MagStreams base{.flagA = {0x00}, .pixels = {1, 2, 3, 4}};
  const Bytes file = assembleMag(base);
  const std::size_t header = magHeaderStart(base.comment);
  for (const std::size_t field : {kMagFlagAOffsetField, kMagFlagBOffsetField, kMagPixelOffsetField}) {
    for (const std::uint32_t offset : {0xFFFFFFF0u, static_cast<std::uint32_t>(file.size() - header)}) {
      Bytes bad = file;
      for (int i = 0; i < 4; ++i)
        bad[header + field + i] = static_cast<std::uint8_t>(offset >> (8 * i));
      // Flag B is only read where flag A has a set bit, so point flag A at one.
      if (field == kMagFlagBOffsetField) bad[header + 32 + 48] = 0x80;
      expectRejected(bad, "field " + std::to_string(field) + " = " + std::to_string(offset));
    }
  }
}

TEST(MagDecoderBadInput, HeadersThatDescribeNoPictureOrTooMuchAreRejected) {
  expectRejected(Bytes(200, 'M'), "no end of comment");
  expectRejected(assembleMag(MagStreams{.xStart = 64, .xEnd = 8, .flagA = {0}, .pixels = {0, 0, 0, 0}}),
                 "x end left of x start");
  expectRejected(assembleMag(MagStreams{.yStart = 5, .yEnd = 4, .flagA = {0}, .pixels = {0, 0, 0, 0}}),
                 "y end above y start");
  // 65536 rows of 8192 units would need half a megabyte of flag A alone.
  expectRejected(assembleMag(MagStreams{.xEnd = 65535, .yEnd = 65535, .flagA = Bytes(100, 0)}), "huge");
}

// A picture of 4096 columns that copies every word from the row above: its flag bytes are set
// once in the first row and kept.
Bytes tallCopiedPicture(int rows) {
  MagStreams s{.xEnd = 4095, .yEnd = rows - 1};
  std::vector<bool> bits(static_cast<std::size_t>(512) * rows, false);
  std::fill_n(bits.begin(), 512, true);
  s.flagA = packBits(bits);
  s.flagB.assign(512, 0x44);
  return assembleMag(s);
}

TEST(MagDecoderBadInput, PicturesOfMoreThan4096x4096PixelsAreRejected) {
  EXPECT_TRUE(draw(tallCopiedPicture(4096)).ok);
  expectRejected(tallCopiedPicture(4097), "4096 x 4097");
}

TEST(MagFiles, LoadingDrawsOntoAPageAndItsBankAndAMissingFileChangesNothing) {
  volta::test::TempDir dir;
  const IndexedImage picture = samplePicture(64, 16, 9);
  volta::test::writeFile(dir / "PIC.MAG", encodeMag(picture, 8, 4, testPalette()));
  Surface page;
  PaletteBank bank;
  MagPlacement placement;
  ASSERT_TRUE(loadMag(dir / "PIC.MAG", page, bank, MagRequest{}, &placement));
  EXPECT_EQ(bank.entries, toRgb12(testPalette()));
  expectPlacement(placement, 8, 4, 64, 16);
  EXPECT_EQ(page.pixel(8 + 63, 4 + 15), picture.at(63, 15));
  EXPECT_EQ(page.pixel(7, 4), 0);

  Surface untouched;
  PaletteBank unchangedBank;
  EXPECT_FALSE(loadMag(dir / "NONE.MAG", untouched, unchangedBank, MagRequest{}));
  EXPECT_EQ(untouched.pixel(8, 4), 0);
  EXPECT_EQ(unchangedBank, PaletteBank{});
}

}  // namespace
}  // namespace volta::wrd::image::test
