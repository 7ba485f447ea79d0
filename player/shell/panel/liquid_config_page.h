#pragma once
// The "Like liquid" page of the configuration: the back light colour (four choices),
// its brightness from dark to bright, whether the module in use decides the colour,
// and the canvas's meters ("LiquidMeterMode"). A small panel previews the colour.

#include <QWidget>
#include <array>

#include "player/monitor/back_light.h"

class QCheckBox;
class QRadioButton;
class QSlider;

namespace volta::shell {

class TLiquidTextWindow;

class TLiquidConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TLiquidConfigDialog(int language, QWidget* parent = nullptr);

  // A stored colour that is none of the four choices stays until another is chosen.
  void setSettings(const monitor::BackLightSettings& settings);
  monitor::BackLightSettings settings() const;
  // 0: two rows of 8-dot meters for 32 parts; 1: 16-dot meters for 16 parts.
  void setMeterMode(int mode);
  int meterMode() const;
  void read(const platform::settings::SettingsStore& store);
  // False when the settings could not be written.
  bool write(platform::settings::SettingsStore& store) const;

 signals:
  void paletteChanged(const monitor::Palette& palette);

 private:
  void showPalette();

  std::array<QRadioButton*, 4> colours_{};
  QSlider* brightness_ = nullptr;
  QCheckBox* automatic_ = nullptr;
  QCheckBox* tallMeters_ = nullptr;
  TLiquidTextWindow* preview_ = nullptr;
  std::uint32_t colour_ = monitor::kLightGreen;
};

}  // namespace volta::shell
