#include "player/shell/document/document_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <optional>

#include "platform/text.h"

namespace volta::shell {
namespace {

using document::Repaint;
using document::ScrollCode;

QColor qColour(document::Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}
QRect qRect(const document::Rect& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::optional<ScrollCode> keyScrollCode(int key) {
  switch (key) {
    case Qt::Key_Up:
      return ScrollCode::kLineUp;
    case Qt::Key_Down:
      return ScrollCode::kLineDown;
    case Qt::Key_PageUp:
      return ScrollCode::kPageUp;
    case Qt::Key_PageDown:
      return ScrollCode::kPageDown;
    default:
      return std::nullopt;
  }
}

std::optional<ScrollCode> sliderScrollCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollCode::kLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollCode::kLineDown;
    case QAbstractSlider::SliderPageStepSub:
      return ScrollCode::kPageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollCode::kPageDown;
    case QAbstractSlider::SliderToMinimum:
      return ScrollCode::kTop;
    case QAbstractSlider::SliderToMaximum:
      return ScrollCode::kBottom;
    case QAbstractSlider::SliderMove:
      return ScrollCode::kThumbTrack;
    default:
      return std::nullopt;
  }
}

// Control characters and bytes CP932 leaves unassigned show as blank cells.
bool drawable(char32_t character) {
  return character >= 0x20 && (character < 0x7F || character > 0x9F);
}

constexpr char32_t kFirstNonAscii = 0x80;

}  // namespace

TDocumentWindow::TDocumentWindow(QWidget* parent)
    : QAbstractScrollArea(parent), decoder_(std::make_unique<platform::text::Cp932Decoder>()) {
  setFrameShape(QFrame::NoFrame);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  // Every pixel is painted, so nothing needs erasing and line scrolls can move pixels.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // Until a font is set the cells keep their default size; text is drawn in the
  // system's fixed-pitch font meanwhile.
  QAbstractScrollArea::setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  verticalScrollBar()->setSingleStep(1);
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &TDocumentWindow::onScrollAction);
  apply(model_.resize(viewport()->width(), viewport()->height()));
}

TDocumentWindow::~TDocumentWindow() = default;

QFont TDocumentWindow::documentFont(const QString& face, int pixelSize) {
  QFont font = face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(face);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setPixelSize(std::max(pixelSize, 1));
  return font;
}

void TDocumentWindow::setText(const std::string* bytes) {
  apply(model_.setText(bytes));
}

void TDocumentWindow::setFont(const QFont& font) {
  QAbstractScrollArea::setFont(font);
  asciiGlyphs_.clear();
  const QFontMetrics metrics(font);
  apply(model_.setCellSize(metrics.horizontalAdvance(QLatin1Char('W')), metrics.height()));
}

void TDocumentWindow::setSelection(int start, int end) {
  apply(model_.setSelection(start, end));
}

void TDocumentWindow::centreOnLine(int line) {
  apply(model_.centreOnLine(line));
}

void TDocumentWindow::setTopLine(int line) {
  apply(model_.setTopLine(line));
}

void TDocumentWindow::apply(const Repaint& repaint) {
  syncScrollBar();
  switch (repaint.kind) {
    case Repaint::Kind::kNone:
      break;
    case Repaint::Kind::kAll:
      viewport()->update();
      break;
    case Repaint::Kind::kRects:
      for (const document::Rect& rect : repaint.rects)
        viewport()->update(qRect(rect));
      break;
    case Repaint::Kind::kScroll:
      viewport()->scroll(0, repaint.shift);
      for (const document::Rect& rect : repaint.rects)
        viewport()->update(qRect(rect));
      break;
  }
}

void TDocumentWindow::syncScrollBar() {
  // The scroll bar only mirrors the model; its own signals must not feed back.
  syncing_ = true;
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, model_.lastScrollPosition());
  bar->setPageStep(std::max(model_.rows(), 1));
  bar->setValue(model_.scrollPosition());
  syncing_ = false;
}

void TDocumentWindow::onScrollAction(int action) {
  if (const auto code = sliderScrollCode(action)) {
    apply(model_.scroll(*code, verticalScrollBar()->sliderPosition()));
  }
}

void TDocumentWindow::scrollContentsBy(int, int) {
  // Moves that come as no action (a value set from outside) are thumb positions.
  if (!syncing_) apply(model_.scroll(ScrollCode::kThumbPosition, verticalScrollBar()->value()));
}

void TDocumentWindow::resizeEvent(QResizeEvent*) {
  apply(model_.resize(viewport()->width(), viewport()->height()));
}

void TDocumentWindow::keyPressEvent(QKeyEvent* event) {
  const auto code = keyScrollCode(event->key());
  if (!code) {
    event->ignore();
    return;
  }
  apply(model_.scroll(*code));
  event->accept();
}

void TDocumentWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect dirty = event->rect();
  const document::PaintPlan plan = model_.paintPlan();
  for (const document::Fill& fill : plan.fills)
    painter.fillRect(qRect(fill.rect), qColour(fill.colour));
  const int ascent = QFontMetrics(font()).ascent();
  for (const document::TextRun& run : plan.runs) {
    if (dirty.intersects(qRect(run.rect))) drawRun(painter, run, ascent);
  }
  painter.setCompositionMode(QPainter::CompositionMode_Difference);
  for (const document::Rect& rect : plan.inverted)
    painter.fillRect(qRect(rect), Qt::white);
}

void TDocumentWindow::drawRun(QPainter& painter, const document::TextRun& run, int ascent) {
  painter.fillRect(qRect(run.rect), qColour(run.colours.background));
  painter.setPen(qColour(run.colours.text));
  const std::string_view bytes = model_.text().substr(run.offset, run.length);
  const int baseline = run.rect.top + ascent;
  // Each character is placed on its own cell, so the grid holds whatever the glyph
  // widths of the font (or its fallbacks for Japanese) are.
  for (std::size_t at = 0; at < bytes.size();) {
    const std::uint16_t code = platform::text::shiftJisCodeAt(bytes, at);
    const char32_t character = decoder_->toUnicode(code);
    if (drawable(character)) {
      drawCharacter(painter, QPoint(run.rect.left + static_cast<int>(at) * model_.charWidth(), baseline), ascent,
                    character);
    }
    at += platform::text::codeWidth(code);
  }
}

void TDocumentWindow::drawCharacter(QPainter& painter, QPoint baseline, int ascent, char32_t character) {
  if (character >= kFirstNonAscii) {
    // It may come from a fallback font, which is placed on the font's own baseline.
    painter.drawText(baseline, QString::fromUcs4(&character, 1));
    return;
  }
  // ASCII always comes from the font itself: its laid-out glyphs are kept.
  auto found = asciiGlyphs_.find(character);
  if (found == asciiGlyphs_.end()) {
    QStaticText text(QString::fromUcs4(&character, 1));
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    found = asciiGlyphs_.emplace(character, std::move(text)).first;
  }
  painter.drawStaticText(baseline - QPoint(0, ascent), found->second);
}

}  // namespace volta::shell
