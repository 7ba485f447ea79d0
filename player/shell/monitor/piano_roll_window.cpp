#include "player/shell/monitor/piano_roll_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <array>

namespace volta::shell {

namespace {

QColor traceColour(monitor::RollTrace trace) {
  static const std::array<QColor, 8> kColours = {QColor(255, 140, 0),  QColor(200, 200, 80), QColor(64, 200, 96),
                                                 QColor(80, 160, 255), QColor(64, 220, 220), QColor(220, 96, 220),
                                                 QColor(240, 64, 48),  QColor(140, 140, 160)};
  return kColours[static_cast<std::size_t>(trace)];
}

}  // namespace

TPianoRollWindow::TPianoRollWindow(int row, QWidget* parent) : QWidget(parent, Qt::Window), row_(row) {
  setWindowTitle(QStringLiteral("Piano roll %1%2").arg(QChar('A' + row / 16)).arg(row % 16 + 1, 2, 10, QChar('0')));
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(sizeHint());
}

QSize TPianoRollWindow::sizeHint() const {
  return QSize(480, monitor::kRollHeight);
}

void TPianoRollWindow::setScale(int scale) {
  scale_ = std::max(scale, 1);
  update();
}

void TPianoRollWindow::follow(const protocol::ChannelState& channel, std::uint32_t time, bool barLine) {
  if (!started_ || time < last_) {
    clear();  // a seek backwards starts the roll afresh
    started_ = true;
    first_ = time;
  }
  last_ = time;
  recorder_.sample(channel, time - first_, barLine);
  update();
}

void TPianoRollWindow::clear() {
  recorder_.clear();
  started_ = false;
  update();
}

void TPianoRollWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), QColor(16, 16, 24));
  const int end = static_cast<int>(static_cast<std::uint64_t>(last_ - first_) * monitor::kRollGrid / scale_);
  const int shift = std::max(0, end - width());  // the newest message at the right edge
  painter.setPen(QColor(40, 40, 56));
  for (int x = -(shift % monitor::kRollGrid); x < width(); x += monitor::kRollGrid)
    painter.drawLine(x, 0, x, height());
  for (int y = monitor::kRollHeight; y > 127; y -= 12)
    painter.drawLine(0, y, width(), y);
  painter.setPen(QColor(96, 96, 120));
  painter.drawLine(0, 127, width(), 127);
  for (const monitor::RollLine& line :
       monitor::pianoRollLines(recorder_.log(), recorder_.start(), scale_, last_ - first_)) {
    painter.setPen(traceColour(line.trace));
    painter.drawLine(line.x1 - shift, line.y1, line.x2 - shift, line.y2);
  }
}

}  // namespace volta::shell
