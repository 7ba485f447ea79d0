#include "player/core/document_view/document_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <ostream>

#include "player/core/documents.h"
#include "tests/support/test_support.h"

namespace volta::document {

void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

constexpr int kCell = 10;
constexpr int kLine = 20;
constexpr Colours kPlain{kBlack, kWhite};
constexpr Colours kCyanOnBlack{kColourTable[5], kBlack};
constexpr Colours kWhiteOnBlack{kWhite, kBlack};
constexpr Colours kRedOnWhite{kColourTable[2], kWhite};

// A model over its own text in a window of whole cells of 10 x 20 pixels.
struct Document {
  Document(std::string bytes, int columns, int rows) : text(std::move(bytes)) {
    model.setCellSize(kCell, kLine);
    model.resize(columns * kCell, rows * kLine);
    model.setText(&text);
  }
  std::string text;
  DocumentModel model;
};

std::string numberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  return text;
}

Rect cells(int line, int from, int to) {
  return {from * kCell, line * kLine, to * kCell, (line + 1) * kLine};
}

// The runs drawn on one cell row, in order.
std::vector<TextRun> runsOnRow(const PaintPlan& plan, int row) {
  std::vector<TextRun> runs;
  for (const TextRun& run : plan.runs) {
    if (run.rect.top == row * kLine) runs.push_back(run);
  }
  return runs;
}

bool hasFill(const PaintPlan& plan, const Rect& rect, Rgb colour) {
  for (const Fill& fill : plan.fills) {
    if (fill.rect == rect && fill.colour == colour) return true;
  }
  return false;
}

TEST(DocumentColours, AttributeSelectsBackgroundFromHighAndTextFromLowNibble) {
  EXPECT_EQ(attributeColours(0x05), kCyanOnBlack);
  EXPECT_EQ(attributeColours(0x07), kWhiteOnBlack);
  EXPECT_EQ(attributeColours('r'), kRedOnWhite);
  EXPECT_EQ(attributeColours(0x8A), (Colours{kColourTable[2], kBlack}));  // both taken mod 8
  EXPECT_EQ(attributeColours(0xFF), (Colours{kWhite, kWhite}));
}

TEST(DocumentModel, StartsEmptyWithTheDefaultCell) {
  DocumentModel model;
  EXPECT_EQ(model.charWidth(), 9);
  EXPECT_EQ(model.lineHeight(), 18);
  EXPECT_EQ(model.selectionStart(), -1);
  EXPECT_EQ(model.selectionEnd(), -1);
  model.resize(90, 180);
  EXPECT_EQ(model.columns(), 10);
  EXPECT_EQ(model.rows(), 10);
  EXPECT_EQ(model.lineOfOffset(5), 0);
  EXPECT_EQ(model.setSelection(1, 2).kind, Repaint::Kind::kNone);
  const PaintPlan plan = model.paintPlan();
  ASSERT_EQ(plan.fills.size(), 1u);
  EXPECT_EQ(plan.fills[0].rect, (Rect{0, 0, 90, 180}));
  EXPECT_EQ(plan.fills[0].colour, kWhite);
  EXPECT_TRUE(plan.runs.empty());
}

TEST(DocumentModel, ScrollBarRangeIsTheLineCountWithAPageOfRows) {
  Document doc(numberedLines(100), 40, 20);
  DocumentModel& model = doc.model;
  EXPECT_EQ(model.scrollMaximum(), 100);
  EXPECT_EQ(model.lastScrollPosition(), 81);

  EXPECT_EQ(model.scroll(ScrollCode::kPageDown).kind, Repaint::Kind::kAll);
  EXPECT_EQ(model.topLine(), 20);
  EXPECT_EQ(model.paintPlan().runs.front().offset, doc.text.find("line 20"));
  model.scroll(ScrollCode::kPageUp);
  EXPECT_EQ(model.topLine(), 0);
  model.scroll(ScrollCode::kBottom);
  EXPECT_EQ(model.topLine(), 81);
  EXPECT_EQ(model.scroll(ScrollCode::kPageDown).kind, Repaint::Kind::kNone);
  model.scroll(ScrollCode::kTop);
  EXPECT_EQ(model.topLine(), 0);
  model.scroll(ScrollCode::kThumbTrack, 500);
  EXPECT_EQ(model.topLine(), 81);
  model.scroll(ScrollCode::kThumbPosition, -3);
  EXPECT_EQ(model.topLine(), 0);
  EXPECT_EQ(model.scroll(ScrollCode::kEndScroll).kind, Repaint::Kind::kNone);
}

TEST(DocumentModel, LineScrollsShiftTheContentsAndRedrawTheUncoveredStrip) {
  Document doc(numberedLines(100), 20, 20);
  const Repaint down = doc.model.scroll(ScrollCode::kLineDown);
  EXPECT_EQ(down.kind, Repaint::Kind::kScroll);
  EXPECT_EQ(down.shift, -kLine);
  EXPECT_EQ(down.rects, (std::vector<Rect>{{0, 19 * kLine, 200, 21 * kLine}}));
  EXPECT_EQ(doc.model.topLine(), 1);

  const Repaint up = doc.model.scroll(ScrollCode::kLineUp);
  EXPECT_EQ(up.shift, kLine);
  EXPECT_EQ(up.rects, (std::vector<Rect>{{0, 0, 200, kLine}}));
  EXPECT_EQ(doc.model.scroll(ScrollCode::kLineUp).kind, Repaint::Kind::kNone);
  EXPECT_EQ(doc.model.topLine(), 0);
}

TEST(DocumentModel, CentreOnLineAndSetTopLineStayWithinTheScrollRange) {
  Document doc(numberedLines(100), 20, 20);
  DocumentModel& model = doc.model;
  model.centreOnLine(50);
  EXPECT_EQ(model.topLine(), 40);
  EXPECT_EQ(model.scrollPosition(), 40);
  model.centreOnLine(3);
  EXPECT_EQ(model.topLine(), 0);
  model.centreOnLine(99);
  EXPECT_EQ(model.topLine(), 81);
  EXPECT_EQ(model.setTopLine(40).kind, Repaint::Kind::kAll);
  EXPECT_EQ(model.setTopLine(40).kind, Repaint::Kind::kNone);
  model.resize(200, 5 * kLine + 7);  // five whole rows
  model.centreOnLine(10);
  EXPECT_EQ(model.topLine(), 8);
}

TEST(DocumentModel, NewTextsScrollToTheTopAndNoTextClearsTheLines) {
  Document doc(numberedLines(100), 20, 20);
  doc.model.setTopLine(60);
  const std::string shorter = numberedLines(3);
  EXPECT_EQ(doc.model.setText(&shorter).kind, Repaint::Kind::kAll);
  EXPECT_EQ(doc.model.topLine(), 0);
  EXPECT_EQ(doc.model.lineCount(), 3);

  doc.model.setText(nullptr);
  EXPECT_FALSE(doc.model.hasText());
  EXPECT_EQ(doc.model.lineCount(), 0);
  EXPECT_EQ(doc.model.scrollMaximum(), 0);
  EXPECT_EQ(doc.model.lineOfOffset(4), 0);

  // The text ends at its first zero byte.
  const std::string withZero("ab\ncd\0ef\ngh\n", 12);
  doc.model.setText(&withZero);
  EXPECT_EQ(doc.model.lineCount(), 2);
}

TEST(DocumentModel, TallerWindowsKeepTheTopLineWithinTheRange) {
  Document doc(numberedLines(100), 20, 20);
  doc.model.scroll(ScrollCode::kBottom);
  doc.model.resize(200, 50 * kLine);
  EXPECT_EQ(doc.model.topLine(), 51);
  EXPECT_EQ(doc.model.scrollPosition(), 51);
}

TEST(DocumentModel, WidthAndFontChangesRebuildTheLines) {
  Document doc("abcdefghij", 10, 4);
  EXPECT_EQ(doc.model.lineCount(), 1);
  doc.model.resize(5 * kCell + 9, 4 * kLine);
  EXPECT_EQ(doc.model.columns(), 5);
  EXPECT_EQ(doc.model.lineCount(), 2);
  doc.model.setCellSize(20, 40);
  EXPECT_EQ(doc.model.columns(), 2);
  EXPECT_EQ(doc.model.rows(), 2);
  EXPECT_EQ(doc.model.lineCount(), 5);
}

TEST(DocumentModel, SelectionInvalidatesTheOldAndNewRectangles) {
  Document doc("abc\ndefgh\nij", 20, 5);  // lines at 0, 4 and 10
  const Repaint first = doc.model.setSelection(1, 6);
  EXPECT_EQ(first.kind, Repaint::Kind::kRects);
  const std::vector<Rect> firstRects{{10, 0, 40, 20}, {0, 20, 20, 40}};
  EXPECT_EQ(first.rects, firstRects);
  EXPECT_EQ(doc.model.setSelection(1, 6).kind, Repaint::Kind::kNone);

  const Repaint second = doc.model.setSelection(5, 11);
  std::vector<Rect> both = firstRects;
  both.insert(both.end(), {{10, 20, 60, 40}, {0, 40, 10, 60}});
  EXPECT_EQ(second.rects, both);
  EXPECT_EQ(doc.model.paintPlan().inverted, (std::vector<Rect>{{10, 20, 60, 40}, {0, 40, 10, 60}}));

  EXPECT_EQ(doc.model.setSelection(-1, -1).rects, (std::vector<Rect>{{10, 20, 60, 40}, {0, 40, 10, 60}}));
  EXPECT_TRUE(doc.model.paintPlan().inverted.empty());
}

TEST(DocumentModel, SelectionRectanglesCountBytes) {
  Document doc(
      "\x01\x05"
      "ab\tc",
      20, 5);
  doc.model.setSelection(2, 3);  // "a", drawn in column 0
  EXPECT_EQ(doc.model.paintPlan().inverted, (std::vector<Rect>{cells(0, 2, 3)}));
  doc.model.setSelection(3, 2);  // reversed: nothing to show
  EXPECT_TRUE(doc.model.paintPlan().inverted.empty());
}

TEST(DocumentModel, SelectionBeyondTheTextOrTheWindowIsClipped) {
  Document doc(numberedLines(100), 20, 20);
  doc.model.setTopLine(10);
  doc.model.setSelection(0, INT_MAX);
  const std::vector<Rect> rects = doc.model.paintPlan().inverted;
  ASSERT_EQ(rects.size(), 21u);              // the shown lines, the partly shown one included
  EXPECT_EQ(rects.front(), cells(0, 0, 9));  // "line 10" and its line end
  EXPECT_EQ(rects.back(), cells(20, 0, 9));
  doc.model.setTopLine(81);
  EXPECT_EQ(doc.model.paintPlan().inverted.back(), cells(18, 0, 20));  // the last line reaches the edge
  doc.model.setSelection(INT_MIN, -1);
  EXPECT_TRUE(doc.model.paintPlan().inverted.empty());
}

TEST(DocumentModel, PaintPlanFillsTabsLineEndsAndTheAreaBelow) {
  Document doc(
      "a\tb\r\n12345678\tx\n\x01\x05"
      "c\td",
      30, 5);
  const PaintPlan plan = doc.model.paintPlan();
  const auto row0 = runsOnRow(plan, 0);
  ASSERT_EQ(row0.size(), 2u);
  EXPECT_EQ(row0[1].rect, cells(0, 8, 9));  // "b" in column 8
  EXPECT_TRUE(hasFill(plan, cells(0, 1, 8), kWhite));
  EXPECT_TRUE(hasFill(plan, cells(0, 9, 30), kWhite));

  const auto row1 = runsOnRow(plan, 1);
  ASSERT_EQ(row1.size(), 2u);
  EXPECT_EQ(row1[1].column, 16);  // a tab in column 8 goes to 16

  const auto row2 = runsOnRow(plan, 2);
  ASSERT_EQ(row2.size(), 2u);
  EXPECT_EQ(row2[0].colours, kCyanOnBlack);
  EXPECT_EQ(row2[0].offset, doc.text.find('c'));
  EXPECT_EQ(row2[0].length, 1u);
  EXPECT_TRUE(hasFill(plan, cells(2, 1, 8), kBlack));  // tabs take the current background
  EXPECT_TRUE(hasFill(plan, cells(2, 9, 30), kWhite));
  EXPECT_TRUE(hasFill(plan, Rect{0, 3 * kLine, 300, 5 * kLine}, kWhite));
}

TEST(DocumentModel, PaintPlanDrawsOneLineBeyondTheWholeRows) {
  Document doc(numberedLines(100), 20, 20);
  doc.model.resize(200, 20 * kLine + 5);
  const PaintPlan plan = doc.model.paintPlan();
  EXPECT_EQ(plan.runs.size(), 21u);
  EXPECT_EQ(plan.runs.back().rect.top, 20 * kLine);
  for (const Fill& fill : plan.fills)
    EXPECT_LT(fill.rect.top, 21 * kLine);
}

TEST(DocumentModel, ColourCodeCutByTheEndOfTheTextIsIgnored) {
  Document doc("ab\x01", 20, 2);
  const PaintPlan plan = doc.model.paintPlan();
  ASSERT_EQ(plan.runs.size(), 1u);
  EXPECT_EQ(plan.runs[0].length, 2u);
  EXPECT_EQ(plan.runs[0].colours, kPlain);
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(DocumentModel, DocumentReportHeadingsShowInTheirColoursUntilTheLineEnds) {
  test::TempDir dir;
  writeText(dir / "other.txt", "plain text\r\n");
  const core::SongDocument document = core::findSongDocument(dir / "song.mid", true, true);
  ASSERT_EQ(document.source, core::SongDocument::Source::kFolderReport);
  Document doc(document.text, 80, 10);
  const PaintPlan plan = doc.model.paintPlan();

  const auto expectLine = [&](int row, std::string_view text, Colours colours) {
    const auto runs = runsOnRow(plan, row);
    ASSERT_EQ(runs.size(), 1u) << "row " << row;
    EXPECT_EQ(doc.text.substr(runs[0].offset, runs[0].length), text);
    EXPECT_EQ(runs[0].colours, colours) << "row " << row;
    EXPECT_TRUE(hasFill(plan, cells(row, static_cast<int>(text.size()), 80), kWhite)) << "row " << row;
  };
  expectLine(0, "    VOLTA Player report", kWhiteOnBlack);
  expectLine(1, "Cannot find any document files, and display better some document file.", kRedOnWhite);
  EXPECT_TRUE(runsOnRow(plan, 2).empty());
  expectLine(3, "    other.txt", kCyanOnBlack);
  expectLine(4, "plain text", kPlain);
}

}  // namespace
}  // namespace volta::document
