#include "player/shell/panel/liquid_window.h"

#include <QFont>
#include <QPaintEvent>
#include <QPainter>

namespace volta::shell {
namespace {

QRect toQRect(const monitor::PanelRect& rect) {
  return QRect(rect.left, rect.top, rect.width(), rect.height());
}

QFont titleFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPixelSize(13);
  font.setBold(true);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

TLiquidWindow::TLiquidWindow(QWidget* parent)
    : QWidget(parent), palette_(monitor::backLightPalette(monitor::kLightGreen, 18)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(monitor::kCanvasWidth, monitor::kCanvasHeight);
}

void TLiquidWindow::setTitle(std::string_view title) {
  if (canvas_.setTitle(title)) update(toQRect(monitor::kTitleRect));
}

void TLiquidWindow::follow(const protocol::PanelImage& panel) {
  bool titleChanged = false;
  repaintDots(canvas_.follow(panel, titleChanged));
  if (titleChanged) update(toQRect(monitor::kTitleRect));
}

void TLiquidWindow::updateMeters(const protocol::ChannelState* channels, const protocol::OutputStatus& output) {
  repaintDots(canvas_.updateMeters(channels, output));
}

void TLiquidWindow::reset() {
  canvas_.reset();
  update();
}

void TLiquidWindow::setLiquidPalette(const monitor::Palette& palette) {
  if (palette == palette_) return;
  palette_ = palette;
  update();
}

QSize TLiquidWindow::sizeHint() const {
  return QSize(monitor::kCanvasWidth, monitor::kCanvasHeight);
}

void TLiquidWindow::repaintDots(const monitor::DotIndices& dots) {
  for (const int dot : dots)
    update(toQRect(monitor::dotRepaintRect(dot % monitor::kDotColumns, dot / monitor::kDotColumns)));
}

QColor TLiquidWindow::colour(int paletteIndex) const {
  const monitor::Rgb& rgb = palette_[static_cast<std::size_t>(paletteIndex) & 3];
  return QColor(rgb.red, rgb.green, rgb.blue);
}

void TLiquidWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), colour(1));
  const QRect title = toQRect(monitor::kTitleRect);
  if (event->region().intersects(title)) {
    painter.setFont(titleFont());
    painter.setPen(colour(2));
    const auto& text = canvas_.title();
    painter.drawText(title, Qt::AlignCenter | Qt::TextSingleLine, QString::fromLatin1(text.data(), text.size()));
  }
  for (int row = 0; row < monitor::kDotColumns; ++row)
    for (int column = 0; column < monitor::kDotColumns; ++column) {
      const QRect dot = toQRect(monitor::dotRect(column, row));
      if (event->region().intersects(dot)) painter.fillRect(dot, colour(canvas_.dot(column, row) ? 2 : 3));
    }
}

}  // namespace volta::shell
