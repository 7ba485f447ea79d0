#include "player/shell/wrd/wrd_full_screen.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

namespace volta::shell {

TWRDFullScreenWindow::TWRDFullScreenWindow(T256WRDWindow& source) : QWidget(nullptr), source_(&source) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowTitle(source.window()->windowTitle());
  connect(&source, &T256WRDWindow::imageChanged, this, qOverload<>(&QWidget::update));
}

QRect TWRDFullScreenWindow::imageRect(QSize window) {
  const QSize fitted = QSize(kWrdImageWidth, kWrdImageHeight).scaled(window, Qt::KeepAspectRatio);
  return {QPoint((window.width() - fitted.width()) / 2, (window.height() - fitted.height()) / 2), fitted};
}

void TWRDFullScreenWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect target = imageRect(size());
  const QRegion outside = source_ ? event->region() - target : event->region();
  for (const QRect& r : outside)
    painter.fillRect(r, Qt::black);
  if (!source_ || target.isEmpty()) return;
  painter.translate(target.topLeft());
  painter.scale(static_cast<double>(target.width()) / kWrdImageWidth,
                static_cast<double>(target.height()) / kWrdImageHeight);
  // Laid out as a window of 480 rows: offset 0.
  source_->paintImage(painter, QRect(0, 0, kWrdImageWidth, kWrdImageHeight), 0, QSize(kWrdImageWidth, kWrdImageHeight));
}

void TWRDFullScreenWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit leaveRequested();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace volta::shell
