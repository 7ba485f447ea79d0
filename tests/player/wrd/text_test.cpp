#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "player/wrd/text_writer.h"
#include "tests/support/test_support.h"

namespace volta::wrd {
namespace {

std::string repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

// A tiny face: 'A' has only its top row, 'B' only its left column, U+3042 a 16-wide frame
// top, the full block and one 16-wide character for the graphic codes.
std::shared_ptr<const UnifontFace> testFace() {
  static const auto face = UnifontFace::parse("0041:FF" + repeat("00", 15) + "\n0042:" + repeat("80", 16) +
                                              "\n3042:FFFF" + repeat("8001", 15) + "\n2588:" + repeat("FF", 16) +
                                              "\n5186:" + repeat("C000", 16) + "\n005C:" + repeat("01", 16) + "\n");
  return face;
}

constexpr std::uint8_t kWhite = 0xF0;  // text byte of colour 7

class TextTest : public ::testing::Test {
 protected:
  TextTest() : glyphs(testFace()), writer(screen, glyphs) {}

  int text(int x, int y) const { return screen.textLayer().pixel(x, y); }
  // The 16 pixels from (x, y) as bits, leftmost first.
  unsigned bits(int x, int y, int width = 8) const {
    unsigned v = 0;
    for (int i = 0; i < width; ++i)
      v = v << 1 | (text(x + i, y) != 0 ? 1u : 0u);
    return v;
  }
  bool cellEmpty(int column, int row) const {
    for (int y = 0; y < 16; ++y)
      if (bits(column * 8, row * 16 + y) != 0) return false;
    return true;
  }
  void at(int column, int row) {
    writer.cursor().column = column;
    writer.cursor().row = row;
  }
  int column() const { return writer.cursor().column; }
  int row() const { return writer.cursor().row; }

  Screen screen;
  GlyphRenderer glyphs;
  TextWriter writer;
};

TEST_F(TextTest, GlyphGoesToTextLayerAndCompositeKeepingGraphics) {
  screen.composite().fill(0x03);
  writer.write("A");
  EXPECT_EQ(bits(0, 0), 0xFFu);
  EXPECT_EQ(text(0, 0), kWhite);
  EXPECT_EQ(screen.composite().pixel(0, 0), kWhite | 0x03);
  EXPECT_EQ(screen.composite().pixel(0, 1), 0x03);
  EXPECT_EQ(column(), 1);
  writer.cursor().colour = 2;
  writer.write("B");
  EXPECT_EQ(text(8, 5), 0xA0);
  EXPECT_EQ(bits(8, 5), 0x80u);
}

// Text written while updates are suppressed (catching up) skips the composite and marks its
// cells dirty; recomposing then gives the composite that drawing straight away gives.
TEST(SilentText, RecomposedCompositeEqualsTheDirectOne) {
  const auto draw = [](Screen& screen, bool silent) {
    GlyphRenderer glyphs(testFace());
    TextWriter writer(screen, glyphs);
    screen.page(0)->fill(0x05);
    screen.composite().fill(0x05);
    screen.state().updatesSuppressed = silent;
    writer.write("AB\x1b[7m \x1b[0m\x82\xA0");
    screen.state().textOn = 2;
    writer.writeAt(10, 3, "BA\x82\xA0");
    writer.fillCells(70, 5, 79, 6, 'B', 3, 0);
    screen.state().textOn = 1;
    writer.fillCells(0, 8, 3, 8, ' ', 2, kAttrReverse);
    // Two line feeds at the bottom scroll the whole text up by two rows.
    writer.writeAt(0, 24,
                   "A\x1b"
                   "DB\x1b"
                   "D");
  };
  Screen direct;
  draw(direct, false);
  Screen silent;
  draw(silent, true);
  EXPECT_EQ(silent.textLayer().pixel(0, 22 * 16), kWhite);
  for (int y = 0; y < 400; ++y)
    ASSERT_EQ(silent.composite().pixel(y % 640, y), 0x05) << "row " << y;
  ASSERT_TRUE(silent.dirtyRect().has_value());
  silent.state().updatesSuppressed = false;
  silent.flushScreen(0);
  direct.flushScreen(0);
  for (int y = 0; y < 480; ++y) {
    ASSERT_TRUE(std::equal(silent.composite().row(y), silent.composite().row(y) + 640, direct.composite().row(y)))
        << "row " << y;
  }
}

TEST_F(TextTest, SilentGlyphsMarkTheirCellsDirty) {
  screen.state().updatesSuppressed = true;
  at(5, 2);
  writer.write("A");
  EXPECT_EQ(screen.composite().pixel(40, 32), 0);
  EXPECT_EQ(screen.dirtyRect(), (Rect{40, 32, 47, 47}));
  screen.state().textOn = 2;
  writer.write("\x82\xA0");  // 32 pixels wide from column 6
  EXPECT_EQ(screen.dirtyRect(), (Rect{40, 32, 79, 47}));
}

TEST_F(TextTest, EraseDisplaySequences) {
  writer.write(repeat("A", 80 * 3));
  at(40, 1);
  writer.write("\x1b[J");
  EXPECT_FALSE(cellEmpty(39, 1));
  EXPECT_TRUE(cellEmpty(40, 1));
  EXPECT_TRUE(cellEmpty(0, 2));
  EXPECT_FALSE(cellEmpty(79, 0));
  EXPECT_EQ(column(), 40);
  at(10, 1);
  writer.write("\x1b[1J");
  EXPECT_TRUE(cellEmpty(79, 0));
  EXPECT_TRUE(cellEmpty(10, 1));
  writer.write("A\x1b[2J");
  EXPECT_TRUE(cellEmpty(11, 1));
  EXPECT_EQ(column(), 0);
  EXPECT_EQ(row(), 0);
  writer.write("AAA\x1b*");
  EXPECT_TRUE(cellEmpty(0, 0));
  EXPECT_EQ(column(), 0);
}

TEST_F(TextTest, EraseLineSequences) {
  writer.write(repeat("A", 80));
  at(5, 0);
  writer.write("\x1b[K");
  EXPECT_FALSE(cellEmpty(4, 0));
  EXPECT_TRUE(cellEmpty(5, 0));
  writer.write("\x1b[1k");
  EXPECT_TRUE(cellEmpty(0, 0));
  at(0, 1);
  writer.write("AA\x1b[2K");
  EXPECT_TRUE(cellEmpty(0, 1));
  EXPECT_EQ(column(), 2);
}

TEST_F(TextTest, CursorPositionAndMovement) {
  writer.write("\x1b[5;10H");
  EXPECT_EQ(row(), 4);
  EXPECT_EQ(column(), 9);
  writer.write("\x1b[7H");  // no ";": column 0, nothing read beyond the sequence
  EXPECT_EQ(row(), 6);
  EXPECT_EQ(column(), 0);
  writer.write("\x1b[f");
  EXPECT_EQ(row(), 0);
  writer.write("\x1b[B\x1b[3C");
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(column(), 3);
  writer.write("\x1b[99b\x1b[99c");
  EXPECT_EQ(row(), 24);
  EXPECT_EQ(column(), 79);
  writer.write("\x1b[2A\x1b[0D");
  EXPECT_EQ(row(), 22);
  EXPECT_EQ(column(), 78);
  writer.write("\x1b[999a\x1b[999d");
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(column(), 0);
}

TEST_F(TextTest, SaveRestoreAndSkippedSequences) {
  writer.write("\x1b[31m\x1b[3;4H\x1b[s\x1b[37m\x1b[H\x1b[u");
  EXPECT_EQ(writer.cursor(), (TextCursor{3, 2, 2, 0}));
  writer.write("\x1b[)AB");  // ")" swallows one more byte
  EXPECT_EQ(column(), 4);
  EXPECT_EQ(bits(24, 2 * 16 + 3), 0x80u);
  writer.write("\x1b[5zA");  // an unknown final byte is dropped
  EXPECT_EQ(column(), 5);
  writer.write("\x1bQ");  // unknown escape consumes one byte
  EXPECT_EQ(column(), 5);
  writer.write("\x1b[12;");  // unterminated sequence at the end of the text
  writer.write("\x1b");
  EXPECT_EQ(column(), 5);
}

TEST_F(TextTest, AttributeCodes) {
  struct Case {
    int code, colour, attribute;
  };
  for (const Case c :
       {Case{41, 2, kAttrReverse}, Case{31, 2, 0}, Case{34, 1, 0}, Case{37, 7, 0}, Case{17, 2, 0}, Case{18, 1, 0},
        Case{22, 5, 0}, Case{23, 7, 0}, Case{47, 7, kAttrReverse}, Case{0, 7, 0}, Case{99, 7, 0}}) {
    writer.cursor() = TextCursor{0, 0, 3, kAttrUnderline | kAttrSecret};
    writer.applyAttributeCode(c.code);
    EXPECT_EQ(writer.cursor().colour, c.colour) << c.code;
    EXPECT_EQ(writer.cursor().attribute, c.attribute) << c.code;
  }
  writer.cursor() = TextCursor{0, 0, 3, kAttrReverse | kAttrUnderline};
  writer.applyAttributeCode(8);
  EXPECT_EQ(writer.cursor().attribute, kAttrSecret);
  writer.applyAttributeCode(2);
  writer.applyAttributeCode(5);
  writer.applyAttributeCode(7);
  writer.applyAttributeCode(4);
  EXPECT_EQ(writer.cursor().attribute, kAttrSecret | kAttrReverse | kAttrUnderline);
  EXPECT_EQ(writer.cursor().colour, 3);
  writer.write("\x1b[32;7;4m");
  EXPECT_EQ(writer.cursor(), (TextCursor{0, 0, 4, kAttrReverse | kAttrUnderline}));
  writer.write("\x1b[m");
  EXPECT_EQ(writer.cursor(), (TextCursor{0, 0, 7, 0}));
}

TEST_F(TextTest, ReverseUnderlineAndSecretGlyphs) {
  writer.write("\x1b[7mA\x1b[0;4mA\x1b[7;4mA\x1b[8mA");
  EXPECT_EQ(bits(0, 0), 0x00u);  // reversed 'A': top row off, the rest on
  EXPECT_EQ(bits(0, 1), 0xFFu);
  EXPECT_EQ(bits(8, 0), 0xFFu);  // underlined: top row and row 15
  EXPECT_EQ(bits(8, 15), 0xFFu);
  EXPECT_EQ(bits(8, 14), 0x00u);
  EXPECT_EQ(bits(16, 15), 0x00u);  // underline in reverse clears row 15
  EXPECT_EQ(bits(16, 14), 0xFFu);
  EXPECT_TRUE(cellEmpty(3, 0));  // secret
}

TEST_F(TextTest, BlankAndControlBytesFillByAttribute) {
  writer.write("\x1b[7m \x1b[0;4m \x1b[7;4m\n\x1b[0m\r");
  for (int y = 0; y < 16; ++y)
    EXPECT_EQ(bits(0, y), 0xFFu) << y;
  EXPECT_EQ(bits(8, 15), 0xFFu);
  EXPECT_EQ(bits(8, 14), 0x00u);
  EXPECT_EQ(bits(16, 14), 0xFFu);
  EXPECT_EQ(bits(16, 15), 0x00u);
  EXPECT_TRUE(cellEmpty(3, 0));
  EXPECT_EQ(column(), 4);  // line ends are cells, not movements
  EXPECT_TRUE(screen.dirtyRect().has_value());
}

TEST_F(TextTest, ControlCodes) {
  std::vector<int> beeps;
  writer.setBeep([&] { beeps.push_back(column()); });
  writer.write("AB\t");
  EXPECT_EQ(column(), 8);
  writer.write("\t\a");
  EXPECT_EQ(column(), 16);
  EXPECT_EQ(beeps, std::vector<int>{16});
  at(0, 3);
  writer.write("\b");
  EXPECT_EQ(column(), 79);
  EXPECT_EQ(row(), 2);
  at(0, 0);
  writer.write("\b");
  EXPECT_EQ(column(), 0);
  at(79, 5);
  writer.write("\x0c");
  EXPECT_EQ(column(), 0);
  EXPECT_EQ(row(), 6);
  writer.write("\x0b\x0b");
  EXPECT_EQ(row(), 4);
  writer.write("\x1e");
  EXPECT_EQ(row(), 0);
  writer.write("\x0b");
  EXPECT_EQ(row(), 0);
}

TEST_F(TextTest, WrappingAndScrollingAtTheBottom) {
  writer.write(repeat("A", 80) + "B");
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(column(), 1);
  EXPECT_EQ(bits(0, 16 + 5), 0x80u);
  at(79, 24);
  writer.write("A");
  EXPECT_EQ(column(), 80);
  writer.write("B");  // column 80 wraps to row 25, which scrolls first
  EXPECT_EQ(row(), 24);
  EXPECT_EQ(column(), 1);
  EXPECT_EQ(bits(0, 5), 0x80u);  // the 'B' of row 1 is now on row 0
  EXPECT_EQ(bits(79 * 8, 23 * 16), 0xFFu);
  EXPECT_EQ(bits(0, 24 * 16 + 5), 0x80u);
  EXPECT_EQ(screen.dirtyRect(), kWholeScreen);
  writer.write(
      "\x1b"
      "E");
  EXPECT_EQ(row(), 24);
  EXPECT_EQ(column(), 0);
  EXPECT_TRUE(cellEmpty(0, 24));
}

TEST_F(TextTest, EscapeLineMovesScroll) {
  writer.write("B");
  writer.write("\x1bM");  // up on row 0 scrolls down
  EXPECT_EQ(bits(0, 16 + 5), 0x80u);
  EXPECT_TRUE(cellEmpty(0, 0));
  at(0, 24);
  writer.write(
      "\x1b"
      "D");
  EXPECT_EQ(bits(0, 5), 0x80u);
}

TEST_F(TextTest, InsertAndDeleteLines) {
  at(0, 2);
  writer.write("B\x1b[2;3H\x1b[L");
  EXPECT_EQ(column(), 0);
  EXPECT_TRUE(cellEmpty(0, 2));
  EXPECT_EQ(bits(0, 3 * 16 + 5), 0x80u);
  writer.write("\x1b[2L");
  EXPECT_EQ(bits(0, 5 * 16 + 5), 0x80u);
  writer.write("\x1b[3M");
  EXPECT_EQ(bits(0, 2 * 16 + 5), 0x80u);
  writer.write("\x1b[99999M");
  for (int r = 1; r < 25; ++r)
    EXPECT_TRUE(cellEmpty(0, r)) << r;
}

TEST_F(TextTest, DoubleWidthSkipRule) {
  screen.state().textOn = 2;
  writer.write("A B");
  EXPECT_EQ(bits(0, 0, 16), 0xFFFFu);   // A, doubled
  EXPECT_EQ(bits(16, 5, 16), 0xC000u);  // B at column 2, its pixel doubled
  EXPECT_EQ(column(), 3);
  at(0, 1);
  writer.write("BA");  // A at column 1 covers the right half of B
  EXPECT_EQ(bits(0, 16, 24), 0xC0FFFFu);
  EXPECT_EQ(bits(0, 16 + 5, 24), 0xC00000u);
  writer.clearSkipCounter();
  EXPECT_EQ(writer.skipCounter(), 0);
}

TEST_F(TextTest, DoubleWidthCellsStopShortOfTheEdge) {
  screen.state().textOn = 2;
  writer.putChar(79, 0, 'A', 7, 0);
  writer.putPair(77, 0, 0x82, 0xA0, 7, 0);
  EXPECT_TRUE(cellEmpty(79, 0));
  EXPECT_TRUE(cellEmpty(77, 0));
  writer.putPair(76, 0, 0x82, 0xA0, 7, 0);
  EXPECT_EQ(bits(608, 0, 32), 0xFFFFFFFFu);
  // The writer moves a character that would not fit to the next row.
  at(79, 2);
  writer.write("A");
  EXPECT_EQ(row(), 3);
  EXPECT_EQ(bits(0, 48, 16), 0xFFFFu);
  // Fills step by two columns.
  writer.fillCells(0, 5, 5, 5, 'A', 7, 0);
  EXPECT_EQ(bits(0, 80, 24), 0xFFFFFFu);
  EXPECT_EQ(bits(24, 80, 24), 0xFFFFFFu);
  EXPECT_EQ(bits(48, 80, 8), 0u);
}

TEST_F(TextTest, DoubleByteCharactersAndTheLastColumn) {
  writer.write("\x82\xa0");
  EXPECT_EQ(bits(0, 0, 16), 0xFFFFu);
  EXPECT_EQ(bits(0, 1, 16), 0x8001u);
  EXPECT_EQ(column(), 2);
  writer.putPair(79, 3, 0x82, 0xA0, 7, 0);
  EXPECT_TRUE(cellEmpty(79, 3));
  writer.putPair(78, 3, 0x82, 0xA0, 7, 0);
  EXPECT_EQ(bits(624, 48, 16), 0xFFFFu);
  at(79, 5);
  writer.write("\x82\xa0");  // no half glyph at column 79: the pair starts the next row
  EXPECT_TRUE(cellEmpty(79, 5));
  EXPECT_EQ(row(), 6);
  EXPECT_EQ(column(), 2);
  EXPECT_EQ(bits(0, 96, 16), 0xFFFFu);
  writer.write("\x82");  // a lead byte at the end takes a zero trail
  EXPECT_EQ(column(), 4);
}

TEST_F(TextTest, DoubleByteTextCanBeSwitchedOff) {
  writer.write("\x1b)3\x82\xa0");
  EXPECT_FALSE(writer.doubleByteEnabled());
  EXPECT_EQ(column(), 2);
  writer.write("\x1b)0");
  EXPECT_TRUE(writer.doubleByteEnabled());
}

TEST_F(TextTest, CaretCommandsAreConsumedByTheHook) {
  writer.setCaretHook([](std::string_view rest) -> std::size_t { return rest.starts_with("^X(1)") ? 5 : 0; });
  writer.write("^X(1)A^Y");
  EXPECT_EQ(bits(0, 0), 0xFFu);
  EXPECT_EQ(column(), 3);  // 'A', then '^' and 'Y' as characters
  writer.setCaretHook([](std::string_view rest) { return rest.size() + 10; });
  writer.write("^ABC");
  EXPECT_EQ(column(), 3);
}

TEST_F(TextTest, ScrollRegionDirections) {
  writer.putChar(3, 3, 'B', 7, 0);
  writer.scrollRegion(3, 3, 5, 5, 1, 2, 'A');
  EXPECT_EQ(bits(24, 4 * 16 + 5), 0x80u);
  EXPECT_EQ(bits(24, 3 * 16), 0xFFu);
  EXPECT_EQ(text(24, 3 * 16), 0xA0);  // freed row in the given colour
  writer.scrollRegion(5, 5, 3, 3, 2, 7, ' ');
  EXPECT_EQ(bits(32, 4 * 16 + 5), 0x80u);
  EXPECT_TRUE(cellEmpty(3, 4));
  writer.scrollRegion(3, 3, 5, 5, 3, 7, ' ');
  writer.scrollRegion(3, 3, 5, 5, 0, 7, ' ');
  EXPECT_EQ(bits(24, 3 * 16 + 5), 0x80u);
  writer.scrollRegion(-9, -9, 99, 99, 7, 7, 'A');  // other directions move nothing
  EXPECT_EQ(bits(24, 3 * 16 + 5), 0x80u);
  EXPECT_EQ(screen.dirtyRect(), (Rect{0, 0, 639, 399}));
}

TEST_F(TextTest, ReversedScrollFillsTheExposedRow) {
  writer.cursor().attribute = kAttrReverse;
  writer.cursor().colour = 1;
  writer.scrollUp();
  EXPECT_EQ(text(0, 399), 0x90);
  EXPECT_EQ(text(0, 383), 0);
  writer.cursor().attribute = 0;
  writer.scrollDown();
  EXPECT_EQ(text(0, 0), 0);
  EXPECT_EQ(text(0, 399), 0);
}

TEST_F(TextTest, GraphicCharacters) {
  writer.write("\x1b)3\x88\xf1");  // these bytes are lead bytes while double-byte text is on
  for (int y = 0; y < 16; ++y)
    EXPECT_EQ(bits(0, y), 0xFFu);
  EXPECT_EQ(bits(8, 0), 0x80u);  // a 16-wide glyph folded into the cell
  writer.write("\x1b)0\x5c");
  EXPECT_EQ(bits(16, 0), 0x01u);  // CP932 keeps 0x5C a backslash
}

TEST_F(TextTest, UserGlyphsAndTheGlyphCache) {
  GlyphRows rows{};
  rows[0] = 0x8001;
  glyphs.setUserGlyph(2, rows);
  writer.putPair(0, 0, 0xF0, 0x42, 7, 0);
  EXPECT_EQ(bits(0, 0, 16), 0x8001u);
  const GlyphRows& first = glyphs.renderPair(0xF0, 0x42, 0);
  rows[0] = 0xFFFF;
  glyphs.setUserGlyph(2, rows);  // a redefinition is not hidden by the cache
  EXPECT_EQ(glyphs.renderPair(0xF0, 0x42, 0)[0], 0xFFFF);
  EXPECT_EQ(&first, &glyphs.renderPair(0xF0, 0x42, 0));
  glyphs.setUserGlyph(16, rows);
  writer.putPair(2, 0, 0xF0, 0x40, 7, kAttrSecret);
  EXPECT_TRUE(cellEmpty(2, 0));
}

TEST_F(TextTest, KanaFontFile) {
  test::TempDir dir;
  std::vector<std::uint8_t> font(GlyphRenderer::kKanaFontSize, 0);
  font[32 + 1 * 32] = 0x12;       // slot 1: hiragana 0x2422
  font[32 + 84 * 32 + 1] = 0x34;  // slot 84: katakana 0x2522
  test::writeFile(dir / "kana.fon", font);
  EXPECT_FALSE(glyphs.loadKanaFont(dir / "missing.fon"));
  EXPECT_FALSE(glyphs.kanaLoaded());
  writer.setKanaFontPath(dir / "kana.fon");
  EXPECT_TRUE(glyphs.kanaLoaded());
  EXPECT_EQ(glyphs.renderPair(0x82, 0xA0, 0)[0], 0xFFFF);  // mode off: the face
  glyphs.setKanaMode(true);
  EXPECT_EQ(glyphs.renderPair(0x82, 0xA0, 0)[0], 0x1200);
  EXPECT_EQ(glyphs.renderPair(0x83, 0x41, 0)[0], 0x0034);
  EXPECT_EQ(glyphs.renderPair(0x82, 0xF2, 0)[0], 0);  // between the kana rows
  writer.reset();
  EXPECT_FALSE(glyphs.kanaMode());
  // A short file still counts as loaded.
  test::writeFile(dir / "short.fon", std::vector<std::uint8_t>(40, 0xFF));
  EXPECT_TRUE(glyphs.loadKanaFont(dir / "short.fon"));
  glyphs.setKanaMode(true);
  EXPECT_EQ(glyphs.renderPair(0x82, 0x9F, 0)[0], 0xFFFF);
  EXPECT_EQ(glyphs.renderPair(0x82, 0xA0, 0)[0], 0);
}

TEST(Unifont, ParserAcceptsBothWidthsAndRejectsJunk) {
  const auto face = UnifontFace::parse("0041:00FF" + repeat("00", 14) + "\r\nzz\n3042:" + repeat("8001", 16) +
                                       "\n10000:" + repeat("00", 16) + "\n0042:123\n");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->glyphCount(), 2u);
  EXPECT_EQ(face->width(U'A'), 8);
  EXPECT_EQ(face->rows(U'A')[1], 0xFF00);
  EXPECT_EQ(face->width(U'\u3042'), 16);
  EXPECT_EQ(face->width(U'B'), 0);
  EXPECT_EQ(UnifontFace::parse("nothing\n"), nullptr);
  EXPECT_EQ(UnifontFace::loadFile("/nonexistent/font.hex"), nullptr);
}

TEST(Unifont, SystemJapaneseFace) {
  if (!std::filesystem::exists(kDefaultWrdFontPath)) GTEST_SKIP() << "no unifont_jp.hex";
  const auto face = UnifontFace::loadFile(kDefaultWrdFontPath);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->width(U'A'), 8);
  EXPECT_EQ(face->width(U'\u3042'), 16);
  EXPECT_EQ(face->width(U'\u2588'), 8);
  GlyphRenderer renderer(face);
  EXPECT_EQ(renderer.renderByte(0x88, 0)[8], 0xFF00);          // full block
  const GlyphRows kanji = renderer.renderPair(0x88, 0x9F, 0);  // 亜
  int on = 0;
  for (auto r : kanji)
    on += __builtin_popcount(r);
  EXPECT_GT(on, 20);
}

TEST_F(TextTest, IdleScreen) {
  screen.state().startupValue = 400;
  screen.page(0)->fill(5);
  drawIdleScreen(screen, writer, "");
  EXPECT_EQ(screen.page(0)->pixel(0, 100), 0);
  EXPECT_EQ(screen.page(0)->pixel(0, 168), 1);
  EXPECT_EQ(screen.page(0)->pixel(320, 200), 1);
  EXPECT_EQ(screen.page(0)->pixel(0, 233), 0);
  EXPECT_EQ(bits(34 * 8, 11 * 16 + 5), 0x00u);  // 'V' has no glyph in the test face
  EXPECT_EQ(bits(39 * 8, 11 * 16), 0x00u);
  EXPECT_EQ(row(), 13);
  EXPECT_EQ(column(), 36 + 8);  // "不明な曲" is 8 bytes, centred from column 36
}

}  // namespace
}  // namespace volta::wrd
