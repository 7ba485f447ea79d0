#include <gtest/gtest.h>

#include <climits>

#include "guarded_target.h"
#include "player/wrd/image/indexed_image.h"

namespace volta::wrd::image::test {
namespace {

IndexedImage numbered(int width, int height) {
  IndexedImage image{width, height, {}};
  for (int i = 0; i < width * height; ++i)
    image.pixels.push_back(static_cast<std::uint8_t>(i));
  return image;
}

TEST(PlaceImage, PositionsFarOutsideThePageWriteNothing) {
  const IndexedImage image = numbered(16, 16);
  for (const auto& [x, y] : {std::pair{INT_MIN, 0}, std::pair{INT_MAX, 0}, std::pair{0, INT_MIN}, std::pair{0, INT_MAX},
                             std::pair{-16, 0}, std::pair{640, 0}, std::pair{0, 480}}) {
    GuardedTarget page;
    placeImage(image, page, x, y, 1);
    EXPECT_TRUE(page.untouched()) << x << ", " << y;
  }
}

TEST(PlaceImage, ReductionAndClippingTogether) {
  const IndexedImage image = numbered(10, 10);
  GuardedTarget page(4, 4);
  placeImage(image, page, -1, 2, 3);  // picture pixels 0, 3, 6, 9 of rows 0 and 3
  EXPECT_EQ(page.at(0, 2), image.at(3, 0));
  EXPECT_EQ(page.at(2, 2), image.at(9, 0));
  EXPECT_EQ(page.at(0, 3), image.at(3, 3));
  EXPECT_EQ(page.at(3, 3), kUntouched);
  EXPECT_EQ(page.at(0, 1), kUntouched);
}

TEST(PlaceImage, ReductionBelowOneMeansFullSize) {
  const IndexedImage image = numbered(3, 2);
  GuardedTarget page(8, 8);
  placeImage(image, page, 1, 1, 0);
  EXPECT_EQ(page.at(3, 2), image.at(2, 1));
  EXPECT_EQ(reducedSize(640, 2), 320);
  EXPECT_EQ(reducedSize(401, 2), 201);
  EXPECT_EQ(reducedSize(0, 2), 0);
}

}  // namespace
}  // namespace volta::wrd::image::test
