#include "player/core/document_view/document_model.h"

#include <algorithm>

namespace volta::document {
namespace {

constexpr std::uint8_t kCr = '\r';
constexpr std::uint8_t kLf = '\n';

// Bytes that end a run of drawn text.
bool endsRun(std::uint8_t byte) {
  return byte == kCr || byte == kLf || byte == kColourCode || byte == '\t';
}

Repaint repaintAll() {
  return {Repaint::Kind::kAll, {}, 0};
}

// Pixel x of a byte distance from a line start, kept within [0, width] so that
// offsets far outside the text cannot overflow.
int cellX(std::int64_t cells, int charWidth, int width) {
  return static_cast<int>(std::clamp<std::int64_t>(cells * charWidth, 0, std::max(width, 0)));
}

}  // namespace

Colours attributeColours(std::uint8_t attribute) {
  return {kColourTable[attribute % 8], kColourTable[(attribute / 16) % 8]};
}

Repaint DocumentModel::setText(const std::string* text) {
  hasText_ = text != nullptr;
  // The text ends at its first zero byte.
  text_ = hasText_ ? std::string_view(text->c_str()) : std::string_view();
  topLine_ = 0;
  position_ = 0;
  rebuildLines();
  updateScrollBar();
  return repaintAll();
}

Repaint DocumentModel::setCellSize(int charWidth, int lineHeight) {
  charWidth_ = std::max(charWidth, 1);
  lineHeight_ = std::max(lineHeight, 1);
  columns_ = width_ / charWidth_;
  rows_ = height_ / lineHeight_;
  rebuildLines();
  updateScrollBar();
  return repaintAll();
}

Repaint DocumentModel::resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  const int columns = width_ / charWidth_;
  if (columns != columns_) {
    columns_ = columns;
    rebuildLines();
  }
  rows_ = height_ / lineHeight_;
  updateScrollBar();
  return repaintAll();
}

Repaint DocumentModel::setSelection(int start, int end) {
  if (!hasText_ || (start == selStart_ && end == selEnd_)) return {};
  Repaint repaint{Repaint::Kind::kRects, selectionRects(), 0};
  selStart_ = start;
  selEnd_ = end;
  const std::vector<Rect> now = selectionRects();
  repaint.rects.insert(repaint.rects.end(), now.begin(), now.end());
  return repaint;
}

Repaint DocumentModel::setTopLine(int line) {
  position_ = clampPosition(line);
  if (position_ == topLine_) return {};
  topLine_ = position_;
  return repaintAll();
}

Repaint DocumentModel::centreOnLine(int line) {
  return setTopLine(line - rows_ / 2);
}

Repaint DocumentModel::scroll(ScrollCode code, int position) {
  const int before = position_;
  std::int64_t wanted = before;
  switch (code) {
    case ScrollCode::kLineUp:
      wanted = std::int64_t{before} - 1;
      break;
    case ScrollCode::kLineDown:
      wanted = std::int64_t{before} + 1;
      break;
    case ScrollCode::kPageUp:
      wanted = std::int64_t{before} - rows_;
      break;
    case ScrollCode::kPageDown:
      wanted = std::int64_t{before} + rows_;
      break;
    case ScrollCode::kThumbPosition:
    case ScrollCode::kThumbTrack:
      wanted = position;
      break;
    case ScrollCode::kTop:
      wanted = 0;
      break;
    case ScrollCode::kBottom:
      wanted = lastScrollPosition();
      break;
    case ScrollCode::kEndScroll:
      break;
  }
  position_ = clampPosition(wanted);
  if (position_ == before) return {};
  topLine_ = position_;
  // One line: the shown lines move and only the uncovered strip is drawn anew (two
  // lines at the bottom, since a partly shown line follows the last whole one).
  if (code == ScrollCode::kLineUp) return {Repaint::Kind::kScroll, {{0, 0, width_, lineHeight_}}, lineHeight_};
  if (code == ScrollCode::kLineDown) {
    const int top = (rows_ - 1) * lineHeight_;
    return {Repaint::Kind::kScroll, {{0, top, width_, top + 2 * lineHeight_}}, -lineHeight_};
  }
  return repaintAll();
}

int DocumentModel::lastScrollPosition() const {
  const int page = std::min(rows_, scrollMaximum_ + 1);
  return std::max(0, scrollMaximum_ - std::max(page - 1, 0));
}

int DocumentModel::clampPosition(std::int64_t position) const {
  return static_cast<int>(std::clamp<std::int64_t>(position, 0, lastScrollPosition()));
}

void DocumentModel::rebuildLines() {
  if (hasText_) {
    lines_.build(text_, columns_);
  } else {
    lines_.clear();
  }
}

void DocumentModel::updateScrollBar() {
  scrollMaximum_ = lineCount();
  // A shorter text or a taller window may leave the old top line beyond the range:
  // the shown lines follow the scroll bar.
  position_ = clampPosition(position_);
  topLine_ = position_;
}

std::vector<Rect> DocumentModel::selectionRects() const {
  std::vector<Rect> rects;
  if (selStart_ < 0 || lineCount() == 0) return rects;
  const int first = lines_.lineOfOffset(selStart_);
  const int last = lines_.lineOfOffset(selEnd_);
  // Lines outside the window show nothing.
  for (int line = std::max(first, topLine_); line <= std::min(last, topLine_ + rows_); ++line) {
    const std::int64_t start = lines_.lineStart(line);
    const int left = line == first ? cellX(selStart_ - start, charWidth_, width_) : 0;
    const int right = cellX(line == last ? selEnd_ - start : std::int64_t{lines_.lineLength(line)}, charWidth_, width_);
    const int top = (line - topLine_) * lineHeight_;
    const Rect rect{left, top, right, top + lineHeight_};
    if (!rect.empty()) rects.push_back(rect);
  }
  return rects;
}

PaintPlan DocumentModel::paintPlan() const {
  PaintPlan plan;
  int bottom = 0;
  if (hasText_) {
    for (int line = topLine_; line < lineCount() && line <= topLine_ + rows_; ++line) {
      paintLine(line, plan);
      bottom += lineHeight_;
    }
  }
  if (bottom < height_) plan.fills.push_back({{0, bottom, width_, height_}, kWhite});
  plan.inverted = selectionRects();
  return plan;
}

void DocumentModel::paintLine(int line, PaintPlan& plan) const {
  const std::size_t end = lines_.lineStart(line + 1);
  const int top = (line - topLine_) * lineHeight_;
  const auto cells = [&](int from, int to) { return Rect{from * charWidth_, top, to * charWidth_, top + lineHeight_}; };
  Colours colours;
  int column = 0;
  for (std::size_t at = lines_.lineStart(line); at < end;) {
    const auto byte = static_cast<std::uint8_t>(text_[at]);
    if (byte == kCr || byte == kLf) break;
    if (byte == kColourCode) {
      if (at + 1 < end) colours = attributeColours(static_cast<std::uint8_t>(text_[at + 1]));
      at += 2;
    } else if (byte == '\t') {
      const int stop = nextTabStop(column);
      plan.fills.push_back({cells(column, stop), colours.background});
      column = stop;
      ++at;
    } else {
      std::size_t runEnd = at + 1;
      while (runEnd < end && !endsRun(static_cast<std::uint8_t>(text_[runEnd])))
        ++runEnd;
      const int length = static_cast<int>(runEnd - at);
      plan.runs.push_back({cells(column, column + length), column, at, runEnd - at, colours});
      column += length;
      at = runEnd;
    }
  }
  const Rect rest{column * charWidth_, top, width_, top + lineHeight_};
  if (!rest.empty()) plan.fills.push_back({rest, kWhite});
}

}  // namespace volta::document
