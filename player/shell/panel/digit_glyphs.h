#pragma once
// The panel's digit bitmap, drawn by code: seven-segment digits whose unlit segments
// stay faintly visible, as on a real liquid-crystal display.

#include <QColor>
#include <QPoint>

class QPainter;

namespace volta::shell {

// Draws one character of "0123456789:/ " (anything else shows as a blank cell) in a
// cell of kDigitWidth x kDigitHeight whose top-left corner is `origin`.
void drawDigitGlyph(QPainter& painter, QPoint origin, char character, const QColor& lit, const QColor& unlit);

}  // namespace volta::shell
