// What the "@" and "^" commands draw: cursor placement, palettes and fades, scrolling,
// pictures into pages and banks, extra pages, and the debug log.

#include <algorithm>

#include "tests/player/wrd/image/picture_writers.h"
#include "tests/player/wrd/interpreter/interpreter_harness.h"

namespace volta::wrd::test {
namespace {

constexpr std::uint32_t M = kTicksPerMeasure;

PaletteBank bank(const WrdInterpreter& wrd, int n) {
  return wrd.screen().banks()[static_cast<std::size_t>(n)];
}

std::string paletteLine(int bankNumber, std::uint16_t first, std::uint16_t rest) {
  char buffer[16];
  std::string line = "@PAL(#" + std::to_string(bankNumber);
  for (int i = 0; i < 16; ++i) {
    std::snprintf(buffer, sizeof buffer, ",%03X", i == 0 ? first : rest);
    line += buffer;
  }
  return line + ");\n";
}

TEST_F(InterpreterTest, LocateReadsRowFirstWithSemicolonAndColumnFirstWithComma) {
  open("@LOCATE(10;5);\nA\n@LOCATE(10,5);\nB\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(4, 9));
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(9, 4));
}

TEST_F(InterpreterTest, LocateClampsHostileCells) {
  open("@LOCATE(-7,99999999999);\nA;\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 24));
  EXPECT_EQ(wrd.writer().cursor().column, 1);
}

TEST_F(InterpreterTest, FadeFromBankToZeroShowsTheBankAndEndsThere) {
  open(paletteLine(3, 0x123, 0x456) + "@FADE(3,0,2);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(bank(wrd, 0), bank(wrd, 3));
  EXPECT_EQ(wrd.state().fadeTarget, kFadeWorkBank);
  playTo(10);
  EXPECT_EQ(wrd.state().fadeTarget, 0);
  EXPECT_EQ(bank(wrd, 0), bank(wrd, 3));
}

TEST_F(InterpreterTest, FadeStepsOneComponentStepPerFadeTick) {
  // Speed 1 at time base 48: one step for each tick beyond the next fade tick.
  open(paletteLine(1, 0x000, 0x000) + paletteLine(2, 0xF80, 0x0F0) + "@FADE(1,2,1);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(bank(wrd, 0)[0], 0x000);
  for (std::uint32_t t = 2; t <= 16; ++t) {
    ASSERT_TRUE(runTo(t));
    const int level = static_cast<int>(t) - 1;
    EXPECT_EQ(bank(wrd, 0)[0], (level << 8) | (std::min(level, 8) << 4)) << t;
    EXPECT_EQ(bank(wrd, 0)[5], level << 4) << t;
  }
  EXPECT_EQ(wrd.state().fadeTarget, 0);
  EXPECT_EQ(bank(wrd, 0), bank(wrd, 2));
}

TEST_F(InterpreterTest, PaletteCommandsIgnoreBanksOutsideTheModel) {
  open(paletteLine(22, 0xFFF, 0xFFF) + "@FADE(40,1,1);\n@PALREV(99);\n^PAL(16,$FFF)^PAL(1,$ABC)\n");
  const PaletteBanks before = wrd.screen().banks();
  ASSERT_TRUE(runTo(0));
  PaletteBank expected = before[0];
  expected[1] = 0xABC;
  EXPECT_EQ(bank(wrd, 0), expected);
  EXPECT_EQ(wrd.state().fadeTarget, 0);
}

TEST_F(InterpreterTest, PaletteReverseInvertsEveryEntry) {
  open(paletteLine(5, 0x0F3, 0x800) + "@PALREV(5);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(bank(wrd, 5)[0], 0xF0C);
  EXPECT_EQ(bank(wrd, 5)[15], 0x7FF);
}

TEST_F(InterpreterTest, ScrollClampsRowsAndColumns) {
  open("@LOCATE(1,24);\nA;\n@LOCATE(1,25);\nB;\n@SCROLL(1,30,80,25)\n@SCROLL(-5,-100,999,999,1)\n");
  // Row 30 became row 25: only the last row scrolled away.
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 23));
  EXPECT_FALSE(cellDrawn(0, 24));
  // The whole screen moved down a row.
  ASSERT_TRUE(runTo(M));
  EXPECT_FALSE(cellDrawn(0, 23));
  EXPECT_TRUE(cellDrawn(0, 24));
  EXPECT_NE(readLog().find("\t@SCROLL\n"), std::string::npos);
}

TEST_F(InterpreterTest, TextClearFillsCellsAndCountsZeroAsOne) {
  open("@TCLS(0,0,3,2,0,65);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_TRUE(cellDrawn(2, 1));
  EXPECT_FALSE(cellDrawn(3, 0));
  EXPECT_FALSE(cellDrawn(0, 2));
}

TEST_F(InterpreterTest, TitleIsCentredAndCut) {
  open("@DTITLE(3,10,20);\n@DTITLE(4,0,4);\n");
  ASSERT_TRUE(runTo(0));
  // "Title" in 10 columns from column 10: column 12.
  EXPECT_FALSE(cellDrawn(11, 3));
  EXPECT_TRUE(cellDrawn(12, 3));
  EXPECT_TRUE(cellDrawn(16, 3));
  EXPECT_FALSE(cellDrawn(17, 3));
  // Four columns: "T..." .
  EXPECT_TRUE(cellDrawn(0, 4));
  EXPECT_FALSE(cellDrawn(4, 4));
}

class PictureTest : public InterpreterTest {
 protected:
  PictureTest() {
    image::IndexedImage picture{16, 4, std::vector<std::uint8_t>(64, 0)};
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
      picture.pixels[i] = static_cast<std::uint8_t>(1 + i % 15);
    std::array<image::MagColour, 16> colours{};
    for (int i = 0; i < 16; ++i)
      colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 16), 0x20, 0x40};
    ::volta::test::writeFile(dir / "pic.mag", image::test::encodeMag(picture, 0, 0, colours));
    image::IndexedImage pho{640, 400, std::vector<std::uint8_t>(640 * 400, 0)};
    std::fill(pho.pixels.begin(), pho.pixels.begin() + 640, std::uint8_t{5});
    ::volta::test::writeFile(dir / "pic.pho", image::test::writePho(pho));
    for (int i = 0; i < 16; ++i)
      palette[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i << 8 | 0x24);
  }

  PaletteBank palette;
};

TEST_F(PictureTest, MagGoesIntoTheActivePageWithItsPaletteInBanks) {
  open("@MAG(PIC.MAG,64,32);\n@GSCREEN(1,0);\n@MAG(pic.mag,0,0,1,1);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().page(0)->pixel(64, 32), 1);
  EXPECT_EQ(wrd.screen().page(0)->pixel(65, 32), 2);
  EXPECT_EQ(wrd.screen().composite().pixel(65, 32), 2);
  EXPECT_EQ(wrd.screen().page(1)->pixel(1, 0), 2);
  EXPECT_EQ(bank(wrd, kPictureBankEven), palette);
  EXPECT_EQ(bank(wrd, kPictureBankOdd), palette);
  EXPECT_EQ(bank(wrd, 17), palette);
  EXPECT_EQ(bank(wrd, 0), palette);
  EXPECT_NE(readLog().find("\t@MAG (8,2)-(11,3)\n"), std::string::npos);
}

TEST_F(PictureTest, MagModeOneKeepsTheShownPaletteAndModeTwoReadsOnlyThePalette) {
  open("@MAG(pic.mag,0,0,1,1);\n");
  const PaletteBank before = bank(wrd, 0);
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(bank(wrd, 0), before);
  EXPECT_EQ(wrd.screen().page(0)->pixel(0, 0), 1);
  open("@MAG(pic.mag,0,0,1,2);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(bank(wrd, 0), palette);
  EXPECT_EQ(wrd.screen().page(0)->pixel(0, 0), 0);
}

TEST_F(PictureTest, PloadFillsTheActivePage) {
  open("@GSCREEN(1,1);\n@PLOAD(PIC.PHO);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().page(1)->pixel(639, 0), 5);
  EXPECT_EQ(wrd.screen().page(1)->pixel(0, 1), 0);
  EXPECT_EQ(wrd.screen().composite().pixel(300, 0), 5);
}

TEST_F(PictureTest, CompanionMagIsLoadedByReset) {
  open("A\n", "PIC.WRD");
  EXPECT_EQ(wrd.screen().page(0)->pixel(0, 0), 1);
  EXPECT_EQ(bank(wrd, 0), palette);
  EXPECT_EQ(bank(wrd, kPictureBankEven), palette);
}

TEST_F(InterpreterTest, ExtraPagesTakeCopiesBothWays) {
  open(
      "@GLINE(0,0,15,15,5,2,5);\n^VSGET(2,9,9)^VCOPY(0,0,15,15,0,0,0,1,0)^VCOPY(0,0,15,15,32,0,1,0,1)\n"
      "^VSGET(99)\n");
  ASSERT_TRUE(runTo(0));
  ASSERT_EQ(wrd.screen().pageCount(), 4);
  EXPECT_EQ(wrd.screen().page(3)->pixel(7, 7), 5);
  EXPECT_EQ(wrd.screen().page(2)->pixel(7, 7), 0);
  EXPECT_EQ(wrd.screen().page(0)->pixel(39, 7), 5);
  EXPECT_EQ(wrd.screen().composite().pixel(39, 7), 5);
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(M));
  EXPECT_EQ(wrd.screen().pageCount(), kMaxPageCount);
}

TEST_F(InterpreterTest, GscreenRejectsPagesThatDoNotExist) {
  open("@GSCREEN(2,0);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().state().activePage, 0);
  EXPECT_NE(readLog().find("\t@GSCREEN invalid parameter\n"), std::string::npos);
}

TEST_F(InterpreterTest, UserGlyphsAreDefinedAndPut) {
  open(
      "^FONTR(3,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180,$0180)"
      "^FONTP(3,11,6,225)\n");
  ASSERT_TRUE(runTo(0));
  // Rows 0x8001 after the byte swap: the leftmost and rightmost pixels of the 16-wide cell.
  const Surface& text = wrd.screen().textLayer();
  EXPECT_NE(text.pixel(80, 80), 0);
  EXPECT_EQ(text.pixel(81, 80), 0);
  EXPECT_NE(text.pixel(95, 80), 0);
  EXPECT_EQ(text.pixel(80, 80), 0x80 + 7 * 16);
}

TEST_F(InterpreterTest, DebugLogHasThePositionAndCommandLines) {
  open("@WAIT(2,12)\nA\n");
  ASSERT_TRUE(runTo(0));
  ASSERT_TRUE(runTo(M + 12));
  const std::string log = readLog();
  EXPECT_NE(log.find("\n\nReset--------------------------------------------\n\n"), std::string::npos);
  EXPECT_NE(log.find("------------------------------------------------------\n"
                     "[1:0]-(real 1:0 - 0)----------- next [@WAIT]\n\t@WAIT 2,12\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\nWaitMeasure 2, 6\n\n"), std::string::npos);
  EXPECT_NE(log.find("\nWaitTickCounter 102\n\n"), std::string::npos);
  EXPECT_NE(log.find("[2:6]-(real 2:6 - 102)----------- next [A.]\n\t@TEXTOUT \"A\"\n"), std::string::npos);
}

TEST_F(InterpreterTest, HighSpeedRunsToTheNextWaitInOneCall) {
  wrd.setHighSpeed(true);
  open("@COLOR(33);\nA\n");
  EXPECT_TRUE(wrd.process(false, positionAt(0)));
  EXPECT_TRUE(cellDrawn(0, 0));
}

}  // namespace
}  // namespace volta::wrd::test

namespace volta::wrd::test {
namespace {

TEST_F(PictureTest, ExecMagLoadsAtThePicturesOwnPlace) {
  open("@EXEC(mag /q pic.mag);\n@EXEC(echo hello);\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().page(0)->pixel(1, 0), 2);
  EXPECT_EQ(wrd.screen().composite().pixel(1, 0), 2);
  EXPECT_EQ(bank(wrd, kPictureBankEven), palette);
  EXPECT_EQ(bank(wrd, 0), palette);
}

TEST_F(InterpreterTest, GmoveRoundsColumnsToWholeBytesOfEightPixels) {
  open("@GLINE(8,0,15,3,6,2,6);\n@GMOVE(13,0,9,3,37,10);\n");
  ASSERT_TRUE(runTo(0));
  // Columns 8..15 went to 32..39.
  EXPECT_EQ(wrd.screen().page(0)->pixel(32, 10), 6);
  EXPECT_EQ(wrd.screen().page(0)->pixel(39, 13), 6);
  EXPECT_EQ(wrd.screen().page(0)->pixel(40, 10), 0);
  EXPECT_NE(readLog().find("\t@GMOVE (8,0)-(15,3) => (32,10)\n"), std::string::npos);
}

TEST_F(InterpreterTest, EscapeSequencesTabsAndContinuedLines) {
  open("ABC\n@ESC(2J);\n\tX\\\nY\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(2, 0));
  ASSERT_TRUE(runTo(kTicksPerMeasure));
  // The screen was cleared and the cursor sent home; the tab moved to column 8.
  EXPECT_FALSE(cellDrawn(0, 0));
  EXPECT_TRUE(cellDrawn(8, 0));
  EXPECT_FALSE(cellDrawn(9, 0));
  // "\" at the line end waits without a new line: Y follows X on the same row.
  ASSERT_TRUE(runTo(2 * kTicksPerMeasure));
  EXPECT_TRUE(cellDrawn(9, 0));
}

TEST_F(InterpreterTest, TextAndGraphicsSwitchesChangeTheColourTable) {
  open("@GLINE(0,0,7,0,1,0);\nA;\n@TON(0);\n@GON(0)\n@TON(1);\n@GON(1)\n");
  ASSERT_TRUE(runTo(0));
  const auto& table = wrd.screen().colourTable();
  const std::uint8_t textAndBlue = wrd.screen().composite().pixel(0, 0);
  EXPECT_EQ(textAndBlue & 0xF0, 0xF0);
  // Text off: the graphics colour shows through; graphics off too: colour 0.
  EXPECT_EQ(table[textAndBlue], rgbOf(0x000));
  ASSERT_TRUE(runTo(kTicksPerMeasure));
  EXPECT_EQ(table[textAndBlue], textColourRgb(7));
  EXPECT_EQ(table[0x01], rgbOf(0x00F));
}

TEST_F(InterpreterTest, CaretCommandsInTextAreConsumedAndUnknownOnesShown) {
  open("^TMODE(1)^LINE(2)^GSC(3)^TEXTDOT(1)^SCROLL(1,2)^TSCRL(+3)^FONTM(1)^what\n");
  ASSERT_TRUE(runTo(0));
  // Only "^what" is text: five cells.
  EXPECT_TRUE(cellDrawn(4, 0));
  EXPECT_FALSE(cellDrawn(5, 0));
  EXPECT_TRUE(wrd.glyphs().kanaMode());
  const std::string log = readLog();
  for (const char* line : {"\t^TMODE\n", "\t^LINE\n", "\t^GSC\n", "\t^TSCRL\n", "\t^FONTM 1\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(InterpreterTest, ExtendedCopyWithTransparentZero) {
  open("@GLINE(0,0,7,0,3,0);\n@GLINE(16,0,31,0,5,0);\n^XCOPY(0,0,15,0,16,0,0,0,1)\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().page(0)->pixel(16, 0), 3);
  // Colour 0 of the source leaves the destination as it was.
  EXPECT_EQ(wrd.screen().page(0)->pixel(24, 0), 5);
}

TEST_F(InterpreterTest, EndCommandFinishesAtTheNextWaitAndFreesExtraPages) {
  open("^VSGET(3)\n@END\nA\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.screen().pageCount(), 5);
  ASSERT_TRUE(runTo(kTicksPerMeasure));
  ASSERT_TRUE(runTo(2 * kTicksPerMeasure));
  EXPECT_FALSE(wrd.state().loaded);
  EXPECT_EQ(wrd.screen().pageCount(), 2);
  EXPECT_FALSE(cellDrawn(0, 1));
}

}  // namespace
}  // namespace volta::wrd::test
