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

TEST(Palette, ComponentsBecomeEightBitIntensities) {
  EXPECT_EQ(componentIntensity(0), 0);
  EXPECT_EQ(componentIntensity(0xF), 255);
  EXPECT_EQ(componentIntensity(0x8), 143);
  EXPECT_EQ(rgbOf(0xF80), 0xFFFF8F00u);
}

}  // namespace
}  // namespace volta::wrd
