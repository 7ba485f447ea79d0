#include "player/wrd/image/pho_decoder.h"

#include <gtest/gtest.h>

#include "guarded_target.h"
#include "picture_writers.h"
#include "player/wrd/image/page_pictures.h"
#include "tests/support/test_support.h"

namespace volta::wrd::image::test {
namespace {

IndexedImage eightColourPicture() {
  IndexedImage picture = samplePicture(640, 400, 11);
  for (auto& pixel : picture.pixels)
    pixel &= 7;
  return picture;
}

TEST(PhoDecoder, PlanesGiveBitsZeroOneAndTwoWithTheLeftmostPixelInTheHighBit) {
  Bytes file(96000, 0);
  file[0] = 0x80;                                         // plane 1, row 0, pixel 0
  file[32000 + 1] = 0x01;                                 // plane 2, row 0, pixel 15
  file[64000 + 80] = 0x40;                                // plane 3, row 1, pixel 1
  file[79] = file[32000 + 79] = file[64000 + 79] = 0x01;  // row 0, pixel 639, all planes
  const IndexedImage image = decodePho(file);
  ASSERT_EQ(image.width, 640);
  ASSERT_EQ(image.height, 400);
  EXPECT_EQ(image.at(0, 0), 1);
  EXPECT_EQ(image.at(15, 0), 2);
  EXPECT_EQ(image.at(1, 1), 4);
  EXPECT_EQ(image.at(639, 0), 7);
  EXPECT_EQ(image.at(1, 0), 0);
}

TEST(PhoDecoder, WrittenPictureDecodesToItself) {
  const IndexedImage picture = eightColourPicture();
  EXPECT_EQ(decodePho(writePho(picture)).pixels, picture.pixels);
}

TEST(PhoDecoder, ShortFileCountsAsZeroAndExtraBytesAreIgnored) {
  const IndexedImage picture = eightColourPicture();
  Bytes file = writePho(picture);
  Bytes longer = file;
  longer.resize(100000, 0xFF);
  EXPECT_EQ(decodePho(longer).pixels, picture.pixels);

  file.resize(32000 + 80);  // plane 1 and the first row of plane 2
  const IndexedImage image = decodePho(file);
  for (int x = 0; x < 640; ++x) {
    EXPECT_EQ(image.at(x, 0), picture.at(x, 0) & 3) << x;
    EXPECT_EQ(image.at(x, 1), picture.at(x, 1) & 1) << x;
  }
  EXPECT_EQ(decodePho(Bytes{}).pixels, std::vector<std::uint8_t>(640 * 400, 0));
}

TEST(PhoFiles, LoadingReplacesRowsUpTo399AndAMissingFileChangesNothing) {
  volta::test::TempDir dir;
  const IndexedImage picture = eightColourPicture();
  volta::test::writeFile(dir / "PIC.PHO", writePho(picture));
  Surface page;
  page.fill(9);
  ASSERT_TRUE(loadPho(dir / "PIC.PHO", page));
  EXPECT_EQ(page.pixel(639, 399), picture.at(639, 399));
  EXPECT_EQ(page.pixel(100, 200), picture.at(100, 200));
  EXPECT_EQ(page.pixel(0, 400), 9);
  EXPECT_EQ(page.pixel(639, 479), 9);

  GuardedTarget untouched;
  EXPECT_FALSE(loadPho(dir / "NONE.PHO", untouched));
  EXPECT_TRUE(untouched.untouched());
}

TEST(PhoFiles, APageSmallerThanThePictureIsNotWrittenPast) {
  volta::test::TempDir dir;
  volta::test::writeFile(dir / "PIC.PHO", writePho(eightColourPicture()));
  GuardedTarget small(100, 50);
  ASSERT_TRUE(loadPho(dir / "PIC.PHO", small));
  EXPECT_FALSE(small.untouched());
}

}  // namespace
}  // namespace volta::wrd::image::test
