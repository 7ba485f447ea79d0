#include "player/shell/document/document_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <fstream>
#include <functional>

#include "player/core/documents.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

constexpr int kRows = 20;
constexpr int kColumns = 40;

// Plain pixels: no smoothing, so every glyph pixel has the text colour.
QFont testFont() {
  QFont font = TDocumentWindow::documentFont(QString(), 14);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

std::string numberedLines(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  return text;
}

// A window of kColumns x kRows whole cells (and a few pixels more) showing `text`.
class Window {
 public:
  explicit Window(std::string text) : text_(std::move(text)) {
    window_.setFont(testFont());
    window_.show();  // sizes reach a widget once it is shown
    const auto& model = window_.model();
    const int extra = window_.width() - window_.viewport()->width();
    window_.resize(kColumns * model.charWidth() + extra + 3, kRows * model.lineHeight() + 5);
    window_.setText(&text_);
  }
  TDocumentWindow& operator*() { return window_; }
  TDocumentWindow* operator->() { return &window_; }
  QImage image() { return window_.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // The pixels of cells [from, to) of a shown row.
  QImage cells(int row, int from, int to) {
    const auto& model = window_.model();
    return image().copy(from * model.charWidth(), row * model.lineHeight(), (to - from) * model.charWidth(),
                        model.lineHeight());
  }

 private:
  std::string text_;
  TDocumentWindow window_;
};

int countPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      count += test(image.pixel(x, y)) ? 1 : 0;
  }
  return count;
}

int pixelsOf(const QImage& image, QColor colour) {
  return countPixels(image, [&](QRgb pixel) { return pixel == colour.rgb(); });
}

// Cells holding only `background` pixels and `text` pixels, with some of each.
void expectColours(const QImage& image, QColor text, QColor background) {
  const int total = image.width() * image.height();
  const int inText = pixelsOf(image, text);
  const int inBackground = pixelsOf(image, background);
  EXPECT_GT(inText, 0) << "no pixel of " << text.name().toStdString();
  EXPECT_GT(inBackground, inText);
  EXPECT_EQ(inText + inBackground, total);
}

bool blank(const QImage& image, QColor colour) {
  return pixelsOf(image, colour) == image.width() * image.height();
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(DocumentWindow, DocumentReportHeadingsShowInTheirColours) {
  test::TempDir dir;
  writeText(dir / "other.txt", "plain text\r\n");
  const core::SongDocument document = core::findSongDocument(dir / "song.mid", true, true);
  ASSERT_EQ(document.source, core::SongDocument::Source::kFolderReport);
  Window window(document.text);
  window->resize(90 * window->model().charWidth() + 40, window->height());  // the report line is 71 columns

  expectColours(window.cells(0, 0, 23), Qt::white, Qt::black);  // "    VOLTA Player report"
  EXPECT_TRUE(blank(window.cells(0, 0, 4), Qt::black));
  EXPECT_TRUE(blank(window.cells(0, 23, 80), Qt::white));  // back to white at the line end
  expectColours(window.cells(1, 0, 71), Qt::red, Qt::white);
  EXPECT_TRUE(blank(window.cells(2, 0, 80), Qt::white));
  expectColours(window.cells(3, 0, 13), Qt::cyan, Qt::black);  // "    other.txt"
  EXPECT_TRUE(blank(window.cells(3, 13, 80), Qt::white));
  expectColours(window.cells(4, 0, 10), Qt::black, Qt::white);  // the next line falls back to black on white
}

TEST(DocumentWindow, SelectionIsInverted) {
  Window window("   x\r\nabc\r\n");
  EXPECT_TRUE(blank(window.cells(0, 0, 3), Qt::white));
  window->setSelection(0, 2);
  EXPECT_TRUE(blank(window.cells(0, 0, 2), Qt::black));
  EXPECT_TRUE(blank(window.cells(0, 2, 3), Qt::white));
  window->setSelection(1, 8);  // into the second line: "a" inverted there
  EXPECT_TRUE(blank(window.cells(0, 0, 1), Qt::white));
  EXPECT_TRUE(blank(window.cells(0, 1, 3), Qt::black));
  expectColours(window.cells(1, 0, 1), Qt::white, Qt::black);
  expectColours(window.cells(1, 1, 3), Qt::black, Qt::white);
}

TEST(DocumentWindow, TabMovesTheNextCharacterToColumnEight) {
  Window tabbed("a\tb");
  Window spaced("a       b");
  EXPECT_TRUE(blank(tabbed.cells(0, 1, 8), Qt::white));
  EXPECT_GT(pixelsOf(tabbed.cells(0, 8, 9), Qt::black), 0);
  EXPECT_EQ(tabbed.image(), spaced.image());
}

// The glyph of `text` drawn the plain way in cells of the window's size.
QImage reference(TDocumentWindow& window, const QString& text, int cells) {
  const auto& model = window.model();
  QImage image(cells * model.charWidth(), model.lineHeight(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(window.font());
  painter.setPen(Qt::black);
  painter.drawText(QPoint(0, QFontMetrics(window.font()).ascent()), text);
  return image;
}

TEST(DocumentWindow, ShiftJisIsDecodedAndADoubleByteCharacterTakesTwoColumns) {
  Window window(
      "\x82\xA0"
      "x\xB1");  // hiragana a, "x", half-width katakana a
  EXPECT_EQ(window.cells(0, 0, 2), reference(*window, QString::fromUtf8("\xE3\x81\x82"), 2));
  EXPECT_EQ(window.cells(0, 2, 3), reference(*window, QStringLiteral("x"), 1));
  EXPECT_EQ(window.cells(0, 3, 4), reference(*window, QString::fromUtf8("\xEF\xBD\xB1"), 1));
}

TEST(DocumentWindow, LongLinesWrapAtTheWindowWidth) {
  Window window(std::string(kColumns + 5, 'x'));
  ASSERT_EQ(window->model().columns(), kColumns);
  EXPECT_EQ(window->model().lineCount(), 2);
  EXPECT_EQ(window.cells(1, 0, 5), window.cells(0, 0, 5));
  EXPECT_TRUE(blank(window.cells(1, 5, kColumns), Qt::white));
}

TEST(DocumentWindow, PageDownFromTheTopShowsLineTwenty) {
  Window window(numberedLines(0, 100));
  Window tail(numberedLines(20, 100));
  ASSERT_EQ(window->model().rows(), kRows);
  EXPECT_EQ(window->verticalScrollBar()->maximum(), 81);
  EXPECT_EQ(window->verticalScrollBar()->pageStep(), kRows);

  QTest::keyClick(&*window, Qt::Key_PageDown);
  EXPECT_EQ(window->model().topLine(), 20);
  EXPECT_EQ(window->verticalScrollBar()->value(), 20);
  EXPECT_EQ(window.image(), tail.image());

  QTest::keyClick(&*window, Qt::Key_Down);
  EXPECT_EQ(window->model().topLine(), 21);
  QTest::keyClick(&*window, Qt::Key_Up);
  QTest::keyClick(&*window, Qt::Key_Up);
  EXPECT_EQ(window->model().topLine(), 19);
  QTest::keyClick(&*window, Qt::Key_PageUp);
  EXPECT_EQ(window->model().topLine(), 0);
  QTest::keyClick(&*window, Qt::Key_End);  // not one of the window's keys
  EXPECT_EQ(window->model().topLine(), 0);
}

TEST(DocumentWindow, ScrollBarActionsMoveTheText) {
  Window window(numberedLines(0, 100));
  window->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(window->model().topLine(), 1);
  window->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(window->model().topLine(), 81);
  window->verticalScrollBar()->setValue(30);
  EXPECT_EQ(window->model().topLine(), 30);
  EXPECT_EQ(window.image(), Window(numberedLines(30, 100)).image());

  // One notch of the wheel towards the user scrolls down by the platform's lines per notch.
  const QPointF inside(10, 10);
  QWheelEvent wheel(inside, window->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window->viewport(), &wheel);
  EXPECT_EQ(window->model().topLine(), 30 + QApplication::wheelScrollLines());
  EXPECT_EQ(window->verticalScrollBar()->value(), window->model().topLine());
}

TEST(DocumentWindow, ThreeThousandLinesScrollToTheirEnd) {
  Window window(numberedLines(0, 3000));
  EXPECT_EQ(window->model().lineCount(), 3000);
  window->centreOnLine(2990);
  EXPECT_EQ(window->model().topLine(), 2980);
  EXPECT_EQ(window->lineOfOffset(static_cast<int>(numberedLines(0, 2999).size())), 2999);
  EXPECT_EQ(window.image(), Window(numberedLines(2980, 3000)).image());
}

TEST(DocumentWindow, NoTextShowsAnEmptyWindow) {
  Window window("text\r\n");
  window->setText(nullptr);
  EXPECT_TRUE(blank(window.image(), Qt::white));
  EXPECT_EQ(window->lineOfOffset(3), 0);
}

TEST(DocumentWindow, DocumentFontIsFixedPitchOfTheGivenPixelHeight) {
  const QFont font = TDocumentWindow::documentFont(QStringLiteral("DejaVu Sans Mono"), 12);
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_TRUE(font.fixedPitch());
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans Mono"));

  TDocumentWindow window;
  EXPECT_EQ(window.model().charWidth(), 9);
  EXPECT_EQ(window.model().lineHeight(), 18);
  window.setFont(font);
  const QFontMetrics metrics(font);
  EXPECT_EQ(window.model().charWidth(), metrics.horizontalAdvance(QLatin1Char('W')));
  EXPECT_EQ(window.model().lineHeight(), metrics.height());
}

}  // namespace
}  // namespace volta::shell
