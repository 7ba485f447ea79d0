#pragma once
// The document window without its drawing surface: text, display lines, scroll
// position, selection, and what to draw where. The window feeds it sizes, the cell
// size of its font and the user's scroll actions, and paints the plan it returns.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/core/document_view/line_index.h"

namespace volta::document {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

// Colours of the display code 01 nn: background entry (nn / 16) mod 8, text entry nn mod 8.
inline constexpr std::array<Rgb, 8> kColourTable = {{
    {0, 0, 0},        // black
    {0, 0, 255},      // blue
    {255, 0, 0},      // red
    {255, 0, 255},    // magenta
    {0, 255, 0},      // green
    {0, 255, 255},    // cyan
    {255, 255, 0},    // yellow
    {255, 255, 255},  // white
}};
inline constexpr Rgb kBlack = kColourTable[0];
inline constexpr Rgb kWhite = kColourTable[7];

struct Colours {
  Rgb text = kBlack;
  Rgb background = kWhite;
  bool operator==(const Colours&) const = default;
};
Colours attributeColours(std::uint8_t attribute);

// Pixel rectangle, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

// Text bytes [offset, offset + length) drawn from column `column` of a cell row; each
// byte is one column, so a double-byte character covers two cells.
struct TextRun {
  Rect rect;
  int column = 0;
  std::size_t offset = 0;
  std::size_t length = 0;
  Colours colours;
};

struct Fill {
  Rect rect;
  Rgb colour;
};

// Fills and runs never overlap; the inverted rectangles are applied after them.
struct PaintPlan {
  std::vector<Fill> fills;
  std::vector<TextRun> runs;
  std::vector<Rect> inverted;
};

// What the window redraws after a change.
struct Repaint {
  enum class Kind { kNone, kAll, kRects, kScroll };
  Kind kind = Kind::kNone;
  // kRects: the areas to redraw; kScroll: the strip redrawn after the shift.
  std::vector<Rect> rects;
  // kScroll: pixels the shown contents move down (negative: up).
  int shift = 0;
};

// Codes of the vertical scroll handler.
enum class ScrollCode {
  kLineUp,
  kLineDown,
  kPageUp,
  kPageDown,
  kThumbPosition,
  kThumbTrack,
  kTop,
  kBottom,
  kEndScroll
};

class DocumentModel {
 public:
  static constexpr int kDefaultCharWidth = 9;
  static constexpr int kDefaultLineHeight = 18;

  // The text (null: none) is not copied; the caller keeps it alive until the next
  // call. It ends at its first zero byte. Scrolls to the top.
  Repaint setText(const std::string* text);
  // Cell size of a new font (positive values).
  Repaint setCellSize(int charWidth, int lineHeight);
  // Client area size in pixels.
  Repaint resize(int width, int height);
  // Byte range [start, end) to show inverted; -1 for none.
  Repaint setSelection(int start, int end);
  Repaint setTopLine(int line);
  Repaint centreOnLine(int line);
  Repaint scroll(ScrollCode code, int position = 0);

  int lineOfOffset(int offset) const { return hasText() ? lines_.lineOfOffset(offset) : 0; }
  PaintPlan paintPlan() const;

  bool hasText() const { return hasText_; }
  // The bytes before the terminating zero.
  std::string_view text() const { return text_; }
  const LineIndex& lines() const { return lines_; }
  int lineCount() const { return lines_.lineCount(); }
  int topLine() const { return topLine_; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  int selectionStart() const { return selStart_; }
  int selectionEnd() const { return selEnd_; }
  int charWidth() const { return charWidth_; }
  int lineHeight() const { return lineHeight_; }

  // The scroll bar: range 0 .. scrollMaximum() with a page of rows(); the highest
  // position keeps one page within the range.
  int scrollMaximum() const { return scrollMaximum_; }
  int lastScrollPosition() const;
  int scrollPosition() const { return position_; }

 private:
  void rebuildLines();
  void updateScrollBar();
  int clampPosition(std::int64_t position) const;
  std::vector<Rect> selectionRects() const;
  void paintLine(int line, PaintPlan& plan) const;

  bool hasText_ = false;
  std::string_view text_;
  LineIndex lines_;
  int topLine_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  int width_ = 0;
  int height_ = 0;
  int selStart_ = -1;
  int selEnd_ = -1;
  int charWidth_ = kDefaultCharWidth;
  int lineHeight_ = kDefaultLineHeight;
  int scrollMaximum_ = 0;
  int position_ = 0;
};

}  // namespace volta::document
