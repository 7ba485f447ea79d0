#pragma once
// The status panel of the main window: an imitation liquid-crystal strip whose text
// items are drawn in the four back light colours. Changing an item repaints only
// that item's rectangle, and only when something changed.

#include <QWidget>
#include <string_view>

#include "player/monitor/back_light.h"
#include "player/monitor/liquid_text.h"

namespace volta::shell {

class TLiquidTextWindow : public QWidget {
  Q_OBJECT

 public:
  // A panel of `count` items, each new item empty.
  explicit TLiquidTextWindow(std::size_t count, QWidget* parent = nullptr);
  // The main window's status panel: its 25 items defined, 640 pixels wide.
  static TLiquidTextWindow* createStatusPanel(QWidget* parent = nullptr);

  const monitor::LiquidTextModel& model() const { return model_; }
  void defineItem(std::size_t index, const monitor::LiquidText& item);
  void setText(std::size_t index, std::string_view utf8);
  void setForeground(std::size_t index, int paletteIndex);
  void setBackground(std::size_t index, int paletteIndex);
  void setLamp(std::size_t index, bool lit);
  // Stop's reset: counters to zero, the song's texts empty, every lamp out.
  void resetStatus();
  void setLiquidPalette(const monitor::Palette& palette);
  const monitor::Palette& liquidPalette() const { return palette_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void repaintItem(std::size_t index, bool changed);
  QColor colour(int paletteIndex) const;

  monitor::LiquidTextModel model_;
  monitor::Palette palette_;
};

}  // namespace volta::shell
