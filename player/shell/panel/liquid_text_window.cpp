#include "player/shell/panel/liquid_text_window.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "player/monitor/status_panel.h"
#include "player/shell/panel/digit_glyphs.h"

namespace volta::shell {
namespace {

QRect toQRect(const monitor::PanelRect& rect) {
  return QRect(rect.left, rect.top, rect.width(), rect.height());
}

QFont itemFont(int kind) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(kind == monitor::kTextFont ? 14 : 11);
  font.setBold(kind != monitor::kTextFont);
  return font;
}

void drawDigits(QPainter& painter, const QRect& rect, const std::string& text, bool centred, const QColor& lit,
                const QColor& unlit) {
  const int width = static_cast<int>(text.size()) * monitor::kDigitWidth;
  const int left = centred ? rect.left() + (rect.width() - width) / 2 : rect.left();
  const int top = rect.top() + (rect.height() - monitor::kDigitHeight) / 2;
  for (std::size_t index = 0; index < text.size(); ++index) {
    drawDigitGlyph(painter, QPoint(left + static_cast<int>(index) * monitor::kDigitWidth, top), text[index], lit,
                   unlit);
  }
}

void drawText(QPainter& painter, const QRect& rect, const monitor::LiquidText& item, const QColor& ink) {
  painter.setFont(itemFont(item.kind));
  painter.setPen(ink);
  const QString text = item.text.empty() ? QStringLiteral(" ") : QString::fromUtf8(item.text);
  const Qt::Alignment horizontal = item.centred ? Qt::AlignHCenter : Qt::AlignLeft;
  painter.drawText(rect, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

}  // namespace

TLiquidTextWindow::TLiquidTextWindow(std::size_t count, QWidget* parent)
    : QWidget(parent), model_(count), palette_(monitor::backLightPalette(monitor::kLightGreen, 18)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TLiquidTextWindow* TLiquidTextWindow::createStatusPanel(QWidget* parent) {
  auto* panel = new TLiquidTextWindow(monitor::kStatusItemCount, parent);
  const auto items = monitor::statusPanelItems();
  for (std::size_t index = 0; index < items.size(); ++index)
    panel->defineItem(index, items[index]);
  panel->setFixedSize(monitor::kPanelWidth, monitor::kPanelHeight);
  return panel;
}

void TLiquidTextWindow::defineItem(std::size_t index, const monitor::LiquidText& item) {
  const QRect before = toQRect(model_.item(index).rect);
  if (!model_.define(index, item)) return;
  update(before);  // the old place too, when the item moved
  repaintItem(index, true);
}

void TLiquidTextWindow::setText(std::size_t index, std::string_view utf8) {
  repaintItem(index, model_.setText(index, utf8));
}

void TLiquidTextWindow::setForeground(std::size_t index, int paletteIndex) {
  repaintItem(index, model_.setForeground(index, paletteIndex));
}

void TLiquidTextWindow::setBackground(std::size_t index, int paletteIndex) {
  repaintItem(index, model_.setBackground(index, paletteIndex));
}

void TLiquidTextWindow::setLamp(std::size_t index, bool lit) {
  repaintItem(index, monitor::setLamp(model_, index, lit));
}

void TLiquidTextWindow::resetStatus() {
  for (std::size_t index : monitor::resetStatusPanel(model_))
    repaintItem(index, true);
}

void TLiquidTextWindow::setLiquidPalette(const monitor::Palette& palette) {
  if (palette == palette_) return;
  palette_ = palette;
  update();
}

QSize TLiquidTextWindow::sizeHint() const {
  return QSize(monitor::kPanelWidth, monitor::kPanelHeight);
}

void TLiquidTextWindow::repaintItem(std::size_t index, bool changed) {
  if (changed) update(toQRect(model_.item(index).rect));
}

QColor TLiquidTextWindow::colour(int paletteIndex) const {
  const monitor::Rgb& rgb = palette_[static_cast<std::size_t>(paletteIndex) & 3];
  return QColor(rgb.red, rgb.green, rgb.blue);
}

void TLiquidTextWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), colour(monitor::kLight));
  for (std::size_t index = 0; index < model_.size(); ++index) {
    const monitor::LiquidText& item = model_.item(index);
    const QRect rect = toQRect(item.rect);
    if (rect.isEmpty() || !event->region().intersects(rect)) continue;
    painter.fillRect(rect, colour(item.background));
    if (item.kind == monitor::kDigitFont) {
      drawDigits(painter, rect, item.text.empty() ? " " : item.text, item.centred, colour(item.foreground),
                 colour(monitor::kUnlitLamp));
    } else {
      drawText(painter, rect, item, colour(item.foreground));
    }
  }
}

}  // namespace volta::shell
