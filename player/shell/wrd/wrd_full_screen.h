#pragma once
// The WRD display filling the screen: a top-level window showing the window's 640x480 image
// scaled to fit, its aspect kept, on black.

#include <QPointer>
#include <QWidget>

#include "player/shell/wrd/wrd_window_base.h"

namespace volta::shell {

class TWRDFullScreenWindow : public QWidget {
  Q_OBJECT

 public:
  // A window of its own: it shows black once the source has gone.
  explicit TWRDFullScreenWindow(T256WRDWindow& source);

  // Where the 640x480 image lands in a window of this size.
  static QRect imageRect(QSize window);

 signals:
  // Escape was pressed: the main window leaves full screen.
  void leaveRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPointer<T256WRDWindow> source_;
};

}  // namespace volta::shell
