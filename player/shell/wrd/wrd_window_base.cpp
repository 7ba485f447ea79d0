#include "player/shell/wrd/wrd_window_base.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace volta::shell {

namespace {

const QColor kOutsideImage = Qt::black;

std::string formatRect(const char* format, const QRect& r) {
  char text[96];
  // Windows-style rectangles: right and bottom exclusive.
  std::snprintf(text, sizeof text, format, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
  return text;
}

}  // namespace

T256WRDWindow::T256WRDWindow(QWidget* parent, std::shared_ptr<const wrd::UnifontFace> face)
    : QWidget(parent),
      display_(std::move(face)),
      frame_(kWrdImageWidth, kWrdImageHeight, QImage::Format_Indexed8),
      colours_(256, qRgb(0, 0, 0)) {
  // Every pixel is painted here; nothing needs erasing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  frame_.fill(0);
  statusTimer_.setInterval(kStatusLabelMs);
  connect(&statusTimer_, &QTimer::timeout, this, &T256WRDWindow::expireStatusLabel);
}

T256WRDWindow::~T256WRDWindow() = default;

void T256WRDWindow::setLogicalPalette(std::optional<std::vector<QRgb>> entries, int base) {
  logicalPalette_ = std::move(entries);
  paletteBase_ = base;
  update();
  emit imageChanged();
}

void T256WRDWindow::setWrdSource(const wrd::Surface* composite, const std::array<std::uint32_t, 256>* colourTable) {
  composite_ = composite;
  compositeColours_ = colourTable;
}

void T256WRDWindow::setSherryMode(bool on) {
  if (sherry_ == on) return;
  sherry_ = on;
  update();
  emit imageChanged();
}

// ---- status label ----

void T256WRDWindow::setStatusLabel(const QString& label) {
  if (label != statusLabel_) {
    statusLabel_ = label;
    update();
    emit imageChanged();
  }
  if (!label.isEmpty()) statusTimer_.start();
}

void T256WRDWindow::expireStatusLabel() {
  statusTimer_.stop();
  setStatusLabel(QString());
}

// ---- repaint marking ----

QRect T256WRDWindow::imageArea(int offset) const {
  const int rows = sherry_ ? kWrdImageHeight : kWrdAreaHeight;
  return {0, originY(offset), kWrdImageWidth, rows};
}

void T256WRDWindow::invalidateSurface(const wrd::Rect& rect) {
  if (sherry_) return;
  const int top = verticalOffset() + kWrdAreaTop;
  markWindowRect(QRect(QPoint(rect.x1, rect.y1 + top), QPoint(rect.x2, rect.y2 + top)));
}

void T256WRDWindow::markWindowRect(const QRect& rect) {
  if (rect.isEmpty()) return;
  pending_ += rect;
  update(rect);
  emit imageChanged();
}

void T256WRDWindow::repaintNow() {
  if (pending_.isEmpty()) return;
  const QRegion region = pending_;
  pending_ = QRegion();
  repaint(region);
}

void T256WRDWindow::animatePalette(const std::array<std::uint32_t, 16>& bank0) {
  if (logicalPalette_) {
    std::vector<QRgb>& entries = *logicalPalette_;
    for (std::size_t i = 0; i < bank0.size(); ++i) {
      const std::size_t at = static_cast<std::size_t>(paletteBase_) + i;
      if (at < entries.size()) entries[at] = bank0[i];
    }
  }
  markWindowRect(imageArea(verticalOffset()));
}

// ---- painting ----

void T256WRDWindow::logLine(std::string_view) {}

void T256WRDWindow::paintEvent(QPaintEvent* event) {
  const std::uint32_t started = platform::millisecondCounter();
  logLine(formatRect("Refresh (%d,%d)-(%d,%d)\n", event->rect()));
  pending_ -= event->region();
  QPainter painter(this);
  paintImage(painter, event->region(), verticalOffset(), size());
  painted();
  char done[64];
  std::snprintf(done, sizeof done, "Refresh Done time=%d [ms]\n\n",
                static_cast<int>(platform::millisecondCounter() - started));
  logLine(done);
}

void T256WRDWindow::paintImage(QPainter& painter, const QRegion& region, int offset, QSize area) {
  QRegion clip = region & QRect(QPoint(0, 0), area);
  if (clip.isEmpty()) return;
  if (!statusLabel_.isEmpty()) paintLabel(painter, clip, offset, area);
  const QRect shown = imageArea(offset);
  for (const QRect& r : clip - shown)
    painter.fillRect(r, kOutsideImage);
  drawSurface(painter, clip & shown, shown.topLeft(), shown);
}

void T256WRDWindow::paintLabel(QPainter& painter, QRegion& clip, int offset, QSize area) {
  const QFontMetrics metrics(font());
  const QRect label(10, 10, metrics.horizontalAdvance(statusLabel_), metrics.height());
  const QColor background = palette().color(QPalette::Window);
  painter.save();
  painter.setClipRegion(clip);
  painter.fillRect(label, background);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, statusLabel_);
  painter.restore();
  clip -= label;
  if (offset <= 0) return;
  const QRegion band = clip & QRect(0, 0, area.width(), offset);
  for (const QRect& r : band)
    painter.fillRect(r, background);
  clip -= band;
}

void T256WRDWindow::drawSurface(QPainter& painter, const QRegion& clip, QPoint origin, const QRect& shown) {
  if (clip.isEmpty()) return;
  const wrd::Surface* surface = sherry_ ? &display_.surface() : composite_;
  const QRect source = clip.boundingRect().translated(-origin) & QRect(QPoint(0, 0), shown.size());
  if (surface == nullptr || source.isEmpty()) {
    for (const QRect& r : clip)
      painter.fillRect(r, kOutsideImage);
    return;
  }
  // Only the rows and columns asked for are copied out of the bottom-up surface.
  for (int y = source.top(); y <= source.bottom(); ++y)
    std::memcpy(frame_.scanLine(y) + source.left(), surface->row(y) + source.left(),
                static_cast<std::size_t>(source.width()));
  frame_.setColorTable(colourTable());
  painter.save();
  painter.setClipRegion(clip);
  painter.drawImage(source.topLeft() + origin, frame_, source);
  painter.restore();
}

const QList<QRgb>& T256WRDWindow::colourTable() {
  const std::array<std::uint32_t, 256>* table = sherry_ ? &display_.colours() : compositeColours_;
  if (table == nullptr) return colours_;
  // Sherry colours are always colours; the WRD table holds indices into a logical palette
  // when there is one.
  const std::vector<QRgb>* logical = sherry_ || !logicalPalette_ ? nullptr : &*logicalPalette_;
  for (std::size_t i = 0; i < table->size(); ++i) {
    const std::uint32_t value = (*table)[i];
    colours_[static_cast<qsizetype>(i)] =
        logical == nullptr ? value : (value < logical->size() ? (*logical)[value] : qRgb(0, 0, 0));
  }
  return colours_;
}

void T256WRDWindow::resizeEvent(QResizeEvent*) {
  // The offset follows the new height: everything moves.
  pending_ = QRegion();
  update();
  emit imageChanged();
}

// ---- context menu ----

QMenu* T256WRDWindow::createContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  QAction* property = menu->addAction(QStringLiteral("P&roperty"));
  connect(property, &QAction::triggered, this, [this] { emit command(kPropertyCommand); });
  return menu;
}

void T256WRDWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createContextMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// ---- Sherry display ----

void T256WRDWindow::refresh() {
  display_.refresh();
  update(imageArea(verticalOffset()));
}

void T256WRDWindow::showRect(const wrd::sherry::SVirtualScreen& screen, const wrd::sherry::SShownRect& rect) {
  display_.showRect(screen, rect);
  if (sherry_) markWindowRect(QRect(rect.destX, rect.destY + verticalOffset(), rect.width, rect.height));
}

void T256WRDWindow::setColours(const wrd::sherry::SPalette& palette) {
  display_.setColours(palette);
  if (sherry_) markWindowRect(imageArea(verticalOffset()));
}

wrd::GlyphRows T256WRDWindow::doubleByteGlyph(std::uint16_t shiftJis) {
  return display_.doubleByteGlyph(shiftJis);
}

wrd::GlyphRows T256WRDWindow::singleByteGlyph(std::uint8_t byte) {
  return display_.singleByteGlyph(byte);
}

}  // namespace volta::shell
