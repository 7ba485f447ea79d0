#include "player/shell/panel/digit_glyphs.h"

#include <QPainter>
#include <array>
#include <cstdint>

#include "player/monitor/status_panel.h"

namespace volta::shell {
namespace {

using monitor::kDigitHeight;
using monitor::kDigitWidth;

// Segments a..g as rectangles in the cell (x, y, width, height): top, upper right,
// lower right, bottom, lower left, upper left, middle.
constexpr int kThick = 2;
constexpr int kInnerLeft = 1, kInnerRight = kDigitWidth - 1, kMiddle = kDigitHeight / 2;
constexpr std::array<QRect, 7> segmentRects() {
  const int top = 1, bottom = kDigitHeight - 1, length = kInnerRight - kInnerLeft - 2 * kThick;
  const int upper = kMiddle - top - kThick, lower = bottom - kMiddle - kThick;
  return {QRect(kInnerLeft + kThick, top, length, kThick),
          QRect(kInnerRight - kThick, top + kThick, kThick, upper - kThick / 2),
          QRect(kInnerRight - kThick, kMiddle + kThick / 2, kThick, lower),
          QRect(kInnerLeft + kThick, bottom - kThick, length, kThick),
          QRect(kInnerLeft, kMiddle + kThick / 2, kThick, lower),
          QRect(kInnerLeft, top + kThick, kThick, upper - kThick / 2),
          QRect(kInnerLeft + kThick, kMiddle - kThick / 2, length, kThick)};
}

// Bit n set: segment n lit.
constexpr std::array<std::uint8_t, 10> kDigitSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void drawSegments(QPainter& painter, QPoint origin, std::uint8_t lit, const QColor& on, const QColor& off) {
  static constexpr auto kSegments = segmentRects();
  for (std::size_t segment = 0; segment < kSegments.size(); ++segment) {
    painter.fillRect(kSegments[segment].translated(origin), (lit >> segment) & 1 ? on : off);
  }
}

void drawColon(QPainter& painter, QPoint origin, const QColor& on) {
  const int x = kDigitWidth / 2 - 1;
  painter.fillRect(QRect(x, kMiddle - 4, kThick, kThick).translated(origin), on);
  painter.fillRect(QRect(x, kMiddle + 2, kThick, kThick).translated(origin), on);
}

void drawSlash(QPainter& painter, QPoint origin, const QColor& on) {
  // A staircase of small blocks from the lower left to the upper right.
  for (int step = 0; step < 6; ++step) {
    painter.fillRect(QRect(kInnerLeft + step, kDigitHeight - 3 - 2 * step, kThick, 2).translated(origin), on);
  }
}

}  // namespace

void drawDigitGlyph(QPainter& painter, QPoint origin, char character, const QColor& lit, const QColor& unlit) {
  if (character >= '0' && character <= '9') {
    drawSegments(painter, origin, kDigitSegments[static_cast<std::size_t>(character - '0')], lit, unlit);
  } else if (character == ':') {
    drawColon(painter, origin, lit);
  } else if (character == '/') {
    drawSlash(painter, origin, lit);
  } else {
    drawSegments(painter, origin, 0, lit, unlit);
  }
}

}  // namespace volta::shell
