#include "player/wrd/surface.h"

#include <gtest/gtest.h>

namespace volta::wrd {
namespace {

TEST(Surface, RowsAreAddressedFromTheTopAndStoredFromTheBottom) {
  Surface s;
  s.setPixel(3, 0, 7);
  s.setPixel(5, 479, 9);
  EXPECT_EQ(s.pixel(3, 0), 7);
  EXPECT_EQ(s.row(0)[3], 7);
  // The top row is the last one in storage, the bottom row the first.
  EXPECT_EQ(s.bottomUpData()[479 * 640 + 3], 7);
  EXPECT_EQ(s.bottomUpData()[5], 9);
}

TEST(Surface, OutsidePixelsAreDroppedAndReadAsZero) {
  Surface s;
  s.setPixel(-1, 0, 1);
  s.setPixel(640, 0, 1);
  s.setPixel(0, 480, 1);
  EXPECT_EQ(s.pixel(-1, 0), 0);
  EXPECT_EQ(s.pixel(0, -1), 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(s.pixel(x, y), 0);
}

TEST(Surface, BandsOfRowsMoveAndFillInOneGo) {
  Surface s;
  for (int y = 0; y < 480; ++y)
    s.row(y)[y % 640] = static_cast<std::uint8_t>(y % 250 + 1);
  s.moveRows(0, 16, 384);  // up, overlapping
  EXPECT_EQ(s.pixel(0, 0), 0);
  EXPECT_EQ(s.pixel(16, 0), 17);
  EXPECT_EQ(s.pixel(399, 383), 399 % 250 + 1);
  EXPECT_EQ(s.pixel(384, 384), 384 % 250 + 1);  // rows past the band stay
  s.moveRows(100, 0, 10);                       // down
  EXPECT_EQ(s.pixel(16, 100), 17);
  EXPECT_EQ(s.pixel(25, 109), 26);
  EXPECT_EQ(s.pixel(126, 110), 127);  // the row after the band
  s.fillRows(470, 10, 5);
  EXPECT_EQ(s.pixel(0, 470), 5);
  EXPECT_EQ(s.pixel(639, 479), 5);
  EXPECT_EQ(s.pixel(469, 469), 469 % 250 + 1);
  s.moveRows(0, 1, 0);  // nothing
  EXPECT_EQ(s.pixel(16, 0), 17);
}

TEST(Palette, ComponentsBecomeEightBitIntensities) {
  EXPECT_EQ(componentIntensity(0), 0);
  EXPECT_EQ(componentIntensity(0xF), 255);
  EXPECT_EQ(componentIntensity(0x8), 143);
  EXPECT_EQ(rgbOf(0xF80), 0xFFFF8F00u);
}

}  // namespace
}  // namespace volta::wrd
