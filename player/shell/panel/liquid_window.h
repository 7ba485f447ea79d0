#pragma once
// The LCD pane beside the status panel: the module's 16-character title over its
// 16 x 16 dots, or one level bar per part while the song shows no picture. Only the
// title and the dots that changed are repainted.

#include <QWidget>

#include "engine/protocol/records.h"
#include "player/monitor/back_light.h"
#include "player/monitor/lcd_canvas.h"

namespace volta::shell {

class TLiquidWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TLiquidWindow(QWidget* parent = nullptr);

  const monitor::LcdCanvas& canvas() const { return canvas_; }
  void setTitle(std::string_view title);
  // The module's panel: its text, and its dots while it shows a picture.
  void follow(const protocol::PanelImage& panel);
  // One meter step; null channels when no song is open.
  void updateMeters(const protocol::ChannelState* channels, const protocol::OutputStatus& output);
  void setMeterMode(int mode) { canvas_.setMeterMode(mode); }
  void reset();
  void setLiquidPalette(const monitor::Palette& palette);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void repaintDots(const monitor::DotIndices& dots);
  QColor colour(int paletteIndex) const;

  monitor::LcdCanvas canvas_;
  monitor::Palette palette_;
};

}  // namespace volta::shell
