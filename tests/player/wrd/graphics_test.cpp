#include <gtest/gtest.h>

#include <vector>

#include "player/wrd/screen.h"

namespace volta::wrd {
namespace {

class GraphicsTest : public ::testing::Test {
 protected:
  GraphicsTest() {
    screen.state().startupValue = 400;  // all four planes unless a test says otherwise
    screen.hooks().invalidate = [this](const Rect& r) { invalidated.push_back(r); };
  }
  int px(int x, int y, int page = 0) const { return screen.page(page)->pixel(x, y); }
  int countOnRow(int y, int colour, int page = 0) const {
    int n = 0;
    for (int x = 0; x < 640; ++x)
      n += px(x, y, page) == colour ? 1 : 0;
    return n;
  }
  void fillPage(int page, int seed) {
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        screen.page(page)->setPixel(x, y, static_cast<std::uint8_t>((x * 7 + y * 13 + seed) & 15));
  }

  Screen screen;
  std::vector<Rect> invalidated;
};

TEST_F(GraphicsTest, SolidAndPatternedHorizontalLines) {
  screen.glineCommand(0, 0, 639, 0, 7, 0, 0);
  EXPECT_EQ(countOnRow(0, 7), 640);
  screen.glineCommand(0, 5, 15, 5, 3, 0, 0xAA);
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(px(x, 5), x % 2 == 0 ? 3 : 0) << x;
  // The pattern starts at the smaller x whichever way the line is given.
  screen.line(15, 6, 0, 6, 3, 0xC0);
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(px(x, 6), (x % 8) < 2 ? 3 : 0) << x;
}

TEST_F(GraphicsTest, PatternedRunsKeepUnmaskedPlanesAcrossWordsAndTail) {
  fillPage(0, 5);
  screen.recompose(kWholeScreen);
  screen.state().planeMask = 0b0101;
  const Surface before = *screen.page(0);
  screen.line(3, 9, 36, 9, 0x0E, 0xB4);  // four words of eight pixels and a tail of two
  for (int x = 0; x < 640; ++x) {
    const int k = x - 3;
    const int old = before.pixel(x, 9);
    const bool drawn = k >= 0 && x <= 36 && (0xB4 & (0x80 >> (k % 8))) != 0;
    const int expected = drawn ? (old & ~0b0101) | (0x0E & 0b0101) : old;
    ASSERT_EQ(px(x, 9), expected) << x;
    ASSERT_EQ(screen.composite().pixel(x, 9), expected) << x;
  }
}

TEST_F(GraphicsTest, HorizontalAndVerticalLinesAreClippedAsAWhole) {
  screen.line(700, 10, 700, 20, 5, 0xFF);
  screen.line(-3, -1, -3, -9, 5, 0xFF);
  screen.line(10, 500, 20, 500, 5, 0xFF);
  for (int y = 0; y < 480; ++y)
    ASSERT_EQ(countOnRow(y, 5), 0) << y;
  screen.line(-5, 10, 5, 10, 5, 0xFF);
  EXPECT_EQ(countOnRow(10, 5), 6);
  for (int x = 0; x <= 5; ++x)
    EXPECT_EQ(px(x, 10), 5);
  // Clamped before the pattern: the pattern starts at the surface edge.
  screen.line(630, 20, 700, 20, 4, 0x80);
  EXPECT_EQ(px(630, 20), 4);
  EXPECT_EQ(px(638, 20), 4);
  EXPECT_EQ(px(639, 20), 0);
  screen.line(3, 470, 3, 900, 6, 0xFF);
  for (int y = 470; y < 480; ++y)
    EXPECT_EQ(px(3, y), 6);
}

TEST_F(GraphicsTest, SlantedLineStepsAndEndPoint) {
  screen.line(0, 0, 4, 2, 9, 0xFF);
  // e starts at 2; y steps when e passes 4.
  EXPECT_EQ(px(0, 0), 9);
  EXPECT_EQ(px(1, 0), 9);
  EXPECT_EQ(px(2, 1), 9);
  EXPECT_EQ(px(3, 1), 9);
  EXPECT_EQ(px(4, 2), 9);
  screen.line(20, 0, 20 + 9, 9, 2, 0xF0);  // diagonal, bits 7..4 on
  for (int k = 0; k <= 9; ++k)
    EXPECT_EQ(px(20 + k, k), (k % 8) < 4 ? 2 : 0) << k;
  // Points off the surface are dropped one by one.
  screen.line(-2, -2, 2, 2, 1, 0xFF);
  EXPECT_EQ(px(0, 0), 1);
  EXPECT_EQ(px(2, 2), 1);
}

TEST_F(GraphicsTest, BoxReversesThePatternOnBottomAndLeft) {
  screen.box(0, 0, 7, 7, 1, 0xC0);
  // Corners: (7,0) comes from the right line, (0,7) from the left one.
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(px(k, 0), k < 2 || k == 7 ? 1 : 0) << "top " << k;
    EXPECT_EQ(px(7, k), k < 2 || k == 7 ? 1 : 0) << "right " << k;
    EXPECT_EQ(px(k, 7), k >= 6 || k == 0 ? 1 : 0) << "bottom " << k;
  }
  for (int k = 1; k < 7; ++k)
    EXPECT_EQ(px(0, k), k >= 6 ? 1 : 0) << "left " << k;
}

TEST_F(GraphicsTest, FilledBoxWithAndWithoutOutline) {
  screen.glineCommand(10, 10, 11, 11, 1, 2, 4);
  EXPECT_EQ(px(10, 10), 4);
  EXPECT_EQ(px(11, 11), 4);
  EXPECT_EQ(px(12, 12), 0);
  screen.glineCommand(24, 24, 20, 20, 1, 2, 4);  // corners are ordered first
  for (int y = 20; y <= 24; ++y)
    for (int x = 20; x <= 24; ++x) {
      const bool edge = x == 20 || x == 24 || y == 20 || y == 24;
      const bool inner = x == 21 || x == 23 || y == 21 || y == 23;
      EXPECT_EQ(px(x, y), edge ? 4 : (inner ? 1 : 4)) << x << "," << y;
    }
  // A filled box with inverted corners collapses to its first corner.
  screen.filledBox(50, 50, 40, 40, 6);
  EXPECT_EQ(px(50, 50), 6);
  EXPECT_EQ(px(49, 50), 0);
  EXPECT_EQ(px(50, 49), 0);
}

TEST_F(GraphicsTest, GlineInvalidatesTheClampedRectangleOnlyWhenDisplayed) {
  screen.glineCommand(-10, 5, 700, 9, 1, 1, 0);
  ASSERT_EQ(invalidated.size(), 1u);
  EXPECT_EQ(invalidated[0], (Rect{0, 5, 639, 9}));
  invalidated.clear();
  screen.state().displayPage = 1;
  screen.glineCommand(0, 0, 5, 5, 1, 0, 0);
  EXPECT_TRUE(invalidated.empty());
  screen.glineCommand(0, 0, 5, 5, 1, 3, 0);  // unknown mode draws nothing
  EXPECT_EQ(px(0, 0), 1);                    // from the mode 0 line above
  EXPECT_EQ(px(1, 0), 0);
}

TEST_F(GraphicsTest, StartupBelow400KeepsPlaneThree) {
  screen.state().startupValue = 0;
  screen.page(0)->setPixel(100, 100, 8);
  screen.setPixel(100, 100, 9);
  screen.setPixel(101, 100, 9);
  EXPECT_EQ(px(100, 100), 9);  // plane 3 kept from before
  EXPECT_EQ(px(101, 100), 1);
  screen.glineCommand(0, 0, 9, 0, 9, 0, 0);
  EXPECT_EQ(px(5, 0), 1);
  screen.gcircleCommand(50, 50, 5, 9, 0, 0);
  EXPECT_EQ(px(55, 50), 1);
  // Block moves still copy every plane of the mask.
  screen.page(0)->setPixel(200, 200, 15);
  screen.blockMove(200, 200, 200, 200, 300, 300, 0, 0, 0);
  EXPECT_EQ(px(300, 300), 15);
  screen.state().startupValue = 400;
  screen.state().planeMask = 5;
  screen.setPixel(110, 100, 15);
  EXPECT_EQ(px(110, 100), 5);
}

TEST_F(GraphicsTest, PixelsReachTheCompositeOnlyWhenTheirPageIsShown) {
  screen.textLayer().setPixel(7, 7, 0x90);
  screen.composite().setPixel(7, 7, 0x90);
  screen.setPixel(7, 7, 3);
  EXPECT_EQ(screen.composite().pixel(7, 7), 0x93);
  screen.state().activePage = 1;
  screen.setPixel(8, 7, 3);
  EXPECT_EQ(px(8, 7, 1), 3);
  EXPECT_EQ(screen.composite().pixel(8, 7), 0);
}

TEST_F(GraphicsTest, CircleWalkAndFill) {
  screen.circle(100, 100, 10, 2);
  EXPECT_EQ(px(110, 100), 2);
  EXPECT_EQ(px(90, 100), 2);
  EXPECT_EQ(px(100, 110), 2);
  EXPECT_EQ(px(100, 90), 2);
  EXPECT_EQ(px(100, 100), 0);
  screen.circle(300, 300, -1, 2);
  screen.circle(300, 300, 0, 3);
  EXPECT_EQ(px(300, 300), 3);
  screen.gcircleCommand(200, 200, 8, 5, 2, 6);
  EXPECT_EQ(px(200, 200), 6);
  EXPECT_EQ(px(208, 200), 5);
  EXPECT_EQ(px(209, 200), 0);
  ASSERT_FALSE(invalidated.empty());
  EXPECT_EQ(invalidated.back(), (Rect{192, 192, 208, 208}));
}

TEST_F(GraphicsTest, ClearOnePlane) {
  screen.page(0)->fill(7);
  screen.composite().fill(0x97);
  int fades = 0;
  screen.hooks().advanceFade = [&] { ++fades; };
  screen.clearPlanes(1);
  EXPECT_EQ(px(0, 0), 6);
  EXPECT_EQ(px(639, 479), 6);
  EXPECT_EQ(screen.composite().pixel(3, 3), 0x96);
  EXPECT_EQ(fades, 640 * 480 / 512);
  ASSERT_FALSE(invalidated.empty());
  EXPECT_EQ(invalidated.back(), kWholeSurface);
}

TEST_F(GraphicsTest, ClearWhileUpdatesSuppressedOnlyMarksDirty) {
  screen.page(0)->fill(7);
  screen.composite().fill(7);
  screen.state().updatesSuppressed = true;
  screen.clearPlanes(15);
  EXPECT_EQ(px(1, 1), 0);
  EXPECT_EQ(screen.composite().pixel(1, 1), 7);
  EXPECT_TRUE(screen.dirtyRect().has_value());
  screen.state().updatesSuppressed = false;
  screen.flushScreen(0);
  EXPECT_EQ(screen.composite().pixel(1, 1), 0);
  EXPECT_FALSE(screen.dirtyRect().has_value());
}

// The result of a move through a temporary copy of the whole source page.
std::vector<std::uint8_t> expectedMove(const Surface& page, int x1, int y1, int x2, int y2, int x3, int y3, int mask) {
  std::vector<std::uint8_t> out(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      out[static_cast<std::size_t>(y * 640 + x)] = page.pixel(x, y);
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) {
      auto& d = out[static_cast<std::size_t>((y3 + y - y1) * 640 + x3 + x - x1)];
      d = static_cast<std::uint8_t>((d & ~mask) | (page.pixel(x, y) & mask));
    }
  return out;
}

void expectPage(const Surface& page, const std::vector<std::uint8_t>& want) {
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(page.pixel(x, y), want[static_cast<std::size_t>(y * 640 + x)]) << x << "," << y;
}

TEST_F(GraphicsTest, OverlappingMovesEqualAMoveThroughACopy) {
  struct Case {
    int x1, y1, x2, y2, x3, y3;
  };
  for (const Case c : {Case{0, 0, 99, 49, 8, 0}, Case{8, 0, 107, 49, 0, 0}, Case{10, 10, 60, 60, 13, 17},
                       Case{13, 17, 63, 67, 10, 10}}) {
    fillPage(0, c.x3);
    const auto want = expectedMove(*screen.page(0), c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, 15);
    screen.blockMove(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, 0, 0, 0);
    expectPage(*screen.page(0), want);
  }
}

TEST_F(GraphicsTest, MoveHonoursPlaneMaskAndUpdatesComposite) {
  fillPage(1, 3);
  screen.state().planeMask = 6;
  screen.composite().fill(0x80);
  screen.blockMove(0, 0, 15, 15, 100, 100, 1, 0, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int src = screen.page(1)->pixel(x, y);
      EXPECT_EQ(px(100 + x, 100 + y), src & 6);
      EXPECT_EQ(screen.composite().pixel(100 + x, 100 + y), 0x80 | (src & 6));
    }
  EXPECT_EQ(invalidated.back(), (Rect{100, 100, 115, 115}));
}

TEST_F(GraphicsTest, MoveClipsToTheSurfaceAndRejectsMissingPages) {
  fillPage(1, 1);
  screen.blockMove(0, 0, 99, 99, 600, 460, 1, 0, 0);
  EXPECT_EQ(px(639, 479), screen.page(1)->pixel(39, 19));
  EXPECT_EQ(px(599, 459), 0);
  // A destination above or left of the surface loses the leading part.
  screen.blockMove(0, 0, 9, 9, -5, -5, 1, 0, 0);
  EXPECT_EQ(px(0, 0), screen.page(1)->pixel(5, 5));
  EXPECT_EQ(px(4, 4), screen.page(1)->pixel(9, 9));
  EXPECT_EQ(px(5, 5), 0);
  screen.blockMove(0, 0, 9, 9, 700, 0, 1, 0, 0);
  screen.blockMove(0, 0, 9, 9, 50, 50, 2, 0, 0);
  screen.blockMove(0, 0, 9, 9, 50, 50, 1, -1, 0);
  EXPECT_EQ(px(50, 50), 0);
  screen.blockMove(0, 0, 9, 9, 2147483000, 2147483000, 1, 0, 0);
}

TEST_F(GraphicsTest, LongCopiesAdvanceTheFadeEveryRow) {
  int fades = 0;
  screen.hooks().advanceFade = [&] { ++fades; };
  screen.blockMove(0, 0, 639, 99, 0, 200, 0, 1, 0);
  EXPECT_EQ(fades, 100);
  screen.blockMove(0, 0, 9, 9, 20, 20, 0, 1, 1);
  EXPECT_EQ(fades, 110);
}

TEST_F(GraphicsTest, ExchangeSwapsMaskedBitsOfBothRectangles) {
  screen.page(0)->setPixel(0, 0, 0x5);
  screen.page(1)->setPixel(10, 10, 0xA);
  screen.state().planeMask = 3;
  screen.blockMove(0, 0, 0, 0, 10, 10, 0, 1, 1);
  EXPECT_EQ(px(0, 0), 0x6);  // 0101 takes 10 from 1010 in planes 0-1
  EXPECT_EQ(px(10, 10, 1), 0x9);
  EXPECT_EQ(screen.composite().pixel(0, 0), 0x6);
  EXPECT_EQ(invalidated.size(), 1u);  // only the displayed page's rectangle
}

TEST_F(GraphicsTest, ExtendedCopyKinds) {
  screen.page(1)->setPixel(0, 0, 0);
  screen.page(1)->setPixel(1, 0, 12);
  screen.page(0)->fill(3);
  screen.extendedCopy(0, 0, 1, 0, 20, 0, 1, 0, 1, 0, 0);
  EXPECT_EQ(px(20, 0), 3);  // transparent zero
  EXPECT_EQ(px(21, 0), 12);
  screen.state().planeMask = 1;
  screen.extendedCopy(0, 0, 1, 0, 30, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(px(30, 0), 0);  // whole bytes despite the plane mask
  EXPECT_EQ(px(31, 0), 12);
  screen.page(1)->setPixel(100, 50, 7);
  screen.extendedCopy(0, 0, 1, 0, 40, 0, 1, 0, 8, 100, 50);
  EXPECT_EQ(px(40, 0), 7);  // zero takes the byte at (100, 50)
  EXPECT_EQ(px(41, 0), 12);
  for (int y = 0; y < 10; ++y)
    screen.page(1)->setPixel(5, y, 9);
  screen.extendedCopy(5, 0, 5, 9, 60, 0, 1, 0, 10, 2, 3);
  for (int y = 0; y < 10; ++y)
    EXPECT_EQ(px(60, y), y % 5 < 2 ? 9 : 3) << y;
  screen.extendedCopy(5, 0, 5, 9, 61, 0, 1, 0, 4, 0, 0);
  EXPECT_EQ(px(61, 0), 3);
  EXPECT_EQ(screen.composite().pixel(60, 0), 9);
}

TEST_F(GraphicsTest, ColourTableFollowsBankZeroAndSwitches) {
  screen.setPaletteEntry(3, 0xF80);
  EXPECT_EQ(screen.colourTable()[3], 0xFFFF8F00u);
  EXPECT_EQ(screen.colourTable()[0x93], textColourRgb(1));  // text pixel of colour 1
  EXPECT_EQ(screen.colourTable()[0x73], 0xFFFF8F00u);       // high nibble below 8: graphics
  EXPECT_EQ(textColourRgb(2), 0xFFFF0000u);
  EXPECT_EQ(textColourRgb(4), 0xFF00FF00u);
  screen.state().textOn = 0;
  screen.applyBank0();
  EXPECT_EQ(screen.colourTable()[0x93], 0xFFFF8F00u);
  screen.state().graphicsOn = 0;
  screen.setPaletteEntry(0, 0x00F);
  EXPECT_EQ(screen.colourTable()[0x03], 0xFFFF8F00u);  // other columns wait for re-application
  EXPECT_EQ(screen.colourTable()[0x00], 0xFF0000FFu);
  screen.applyBank0();
  EXPECT_EQ(screen.colourTable()[0x03], 0xFF0000FFu);
  screen.setPaletteBase(10);
  EXPECT_EQ(screen.colourTable()[0x03], 10u);
  screen.state().textOn = 2;
  screen.state().graphicsOn = 1;
  screen.applyBank0();
  EXPECT_EQ(screen.colourTable()[0xA5], 10u + 16 + 2);
  EXPECT_EQ(screen.colourTable()[0x25], 15u);
}

TEST_F(GraphicsTest, FlushRecomposesDirtyAreaAndPushesPalette) {
  std::vector<std::string> logged;
  int pushes = 0;
  screen.hooks().log = [&](std::string_view s) { logged.emplace_back(s); };
  screen.hooks().pushPalette = [&](const std::array<std::uint32_t, 16>& rgb) {
    EXPECT_EQ(rgb[1], 0xFF0000FFu);
    ++pushes;
  };
  screen.setPaletteEntry(1, 0x00F);
  screen.page(0)->setPixel(5, 5, 4);
  screen.textLayer().setPixel(5, 5, 0xA0);
  screen.markDirty({5, 5, 5, 5});
  screen.markPaletteDirty();
  screen.flushScreen(0);
  EXPECT_EQ(screen.composite().pixel(5, 5), 0xA4);
  EXPECT_EQ(screen.composite().pixel(4, 5), 0);
  EXPECT_EQ(pushes, 0);  // force 0 leaves the palette pending
  screen.flushScreen(1);
  EXPECT_EQ(pushes, 1);
  EXPECT_FALSE(screen.paletteDirty());
  EXPECT_EQ(logged, (std::vector<std::string>{"FlushScreen\n", "AnimatePalette\n"}));
  EXPECT_EQ(invalidated.back(), kWholeSurface);
}

TEST_F(GraphicsTest, RecomposeWidensToGroupsOfFourAndShowsTheDisplayPage) {
  screen.page(1)->fill(2);
  screen.state().displayPage = 1;
  screen.recompose({5, 0, 5, 0});
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(screen.composite().pixel(x, 0), x >= 4 && x < 8 ? 2 : 0) << x;
  screen.recompose({-50, -50, 5000, 5000});
  EXPECT_EQ(screen.composite().pixel(639, 479), 2);
}

TEST_F(GraphicsTest, ExtraPagesAndReset) {
  screen.makeExtraPages(100);
  EXPECT_EQ(screen.pageCount(), kMaxPageCount);
  screen.state().displayPage = 40;
  screen.makeExtraPages(3);
  EXPECT_EQ(screen.pageCount(), 5);
  EXPECT_EQ(screen.state().displayPage, 0);
  screen.banks()[5][0] = 0x123;
  screen.banks()[20][0] = 0x456;
  screen.page(1)->fill(3);
  screen.reset();
  EXPECT_EQ(screen.pageCount(), 2);
  EXPECT_EQ(screen.banks()[5][0], 0);
  EXPECT_EQ(screen.banks()[20][0], 0x456);
  EXPECT_EQ(px(3, 3, 1), 0);
}

}  // namespace
}  // namespace volta::wrd
