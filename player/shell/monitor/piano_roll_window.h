#pragma once
// The piano roll monitor: one channel's recent notes, velocities and controller
// courses over time, the newest at the right edge.

#include <QWidget>

#include "player/monitor/piano_roll.h"

namespace volta::shell {

class TPianoRollWindow : public QWidget {
  Q_OBJECT

 public:
  // The window for row `row` of the monitor (port row / 16, channel row % 16).
  explicit TPianoRollWindow(int row, QWidget* parent = nullptr);

  int row() const { return row_; }
  // Time units per 48 pixels.
  void setScale(int scale);
  // Another sample of the channel at `time` (milliseconds), with a bar line when a bar began.
  void follow(const protocol::ChannelState& channel, std::uint32_t time, bool barLine);
  void clear();
  const monitor::PianoRollRecorder& recorder() const { return recorder_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  monitor::PianoRollRecorder recorder_;
  int row_;
  int scale_ = 250;  // a quarter of a second per grid step
  std::uint32_t first_ = 0, last_ = 0;
  bool started_ = false;
};

}  // namespace volta::shell
