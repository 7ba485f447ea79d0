// GIF pictures loaded into virtual screens, their colours into palettes, and shown.

#include <gtest/gtest.h>

#include "tests/player/wrd/image/picture_writers.h"
#include "tests/player/wrd/sherry/sherry_fixture.h"
#include "tests/support/test_support.h"

namespace volta::wrd::sherry::test {
namespace {

using image::test::colourRamp;
using image::test::encodeGif;
using image::test::GifContent;

Params loadGif(int screen, int palette, const std::string& name) {
  return Params().u16(screen).u16(palette).text(name);
}

class SherryGifTest : public SherryTest {
 protected:
  SherryGifTest() {
    directory = folder.path();
    GifContent content;
    content.width = 3;
    content.height = 2;
    content.pixels = {1, 2, 3, 4, 5, 6};
    content.globalTable = colourRamp(8);
    content.transparentIndex = 5;
    std::filesystem::create_directory(folder / "Pics");
    volta::test::writeFile(folder / "Pics" / "Title.GIF", encodeGif(content));
  }

  volta::test::TempDir folder;
};

TEST_F(SherryGifTest, PictureBecomesAScreenAndFillsThePalette) {
  SherryWriter writer;
  writer.event(0x21, ids({2})).event(0x27, loadGif(4, 2, "pics\\title.gif")).hold();
  ASSERT_TRUE(load(writer)) << processor.lastError();
  const SVirtualScreen& s = screen(4);
  EXPECT_EQ(s.width, 3);
  EXPECT_EQ(s.height, 2);
  EXPECT_EQ(s.pixels, (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(s.fill, 5);  // its transparent colour
  EXPECT_EQ(palette(2)[7], (SColour{21, 248, 49}));
  EXPECT_EQ(palette(2)[8], SColour{});
}

TEST_F(SherryGifTest, PictureIsShownWithItsColours) {
  SherryWriter writer;
  writer.event(0x21, ids({2})).event(0x27, Params().raw(loadGif(4, 2, "Pics/Title.GIF").bytes).u8(0));
  writer.event(0x31, ids({2})).event(0x36, showRect(4, 0, 0, 100, 200, 3, 2)).wait(1).hold();
  ASSERT_TRUE(load(writer)) << processor.lastError();
  EXPECT_EQ(display.surface().pixel(102, 201), 6);
  EXPECT_EQ(display.colourAt(100, 200), 0xFF03FE07u);
}

TEST_F(SherryGifTest, TransparentCopyOfAPictureSkipsItsTransparentColour) {
  SherryWriter writer;
  writer.event(0x21, ids({2})).event(0x27, loadGif(4, 2, "pics/title.gif")).event(0x25, newScreen(1, 3, 2, 9));
  writer.event(0x62, copy(4, 1, 0xFF, 0, 0, 2, 1, 0, 0)).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(screen(1).pixels, (Bytes{1, 2, 3, 4, 9, 6}));
}

TEST_F(SherryGifTest, FaultsNameTheirCause) {
  SherryWriter missing;
  missing.event(0x21, ids({2}));
  const std::size_t at = nextEventOffset(missing);
  missing.event(0x27, loadGif(4, 2, "nothere.gif")).hold();
  EXPECT_EQ(errorAfter(missing), hex8(at) + ": Cannot open GIF file 'nothere.gif': no such file");

  SherryWriter noPalette;
  const std::size_t paletteAt = nextEventOffset(noPalette);
  noPalette.event(0x27, loadGif(4, 3, "pics/title.gif")).hold();
  EXPECT_EQ(errorAfter(noPalette), hex8(paletteAt) + ": Palette is not alocated #3.");

  SherryWriter taken;
  taken.event(0x21, ids({2})).event(0x25, newScreen(4, 1, 1, 0));
  const std::size_t takenAt = nextEventOffset(taken);
  taken.event(0x27, loadGif(4, 2, "pics/title.gif")).hold();
  EXPECT_EQ(errorAfter(taken), hex8(takenAt) + ": Already virtual screen alocated #4.");

  volta::test::writeFile(folder / "broken.gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0});
  SherryWriter broken;
  broken.event(0x21, ids({2})).event(0x27, loadGif(4, 2, "broken.gif")).hold();
  EXPECT_NE(errorAfter(broken).find("Cannot open GIF file 'broken.gif': not a readable GIF picture"),
            std::string::npos);
}

}  // namespace
}  // namespace volta::wrd::sherry::test
