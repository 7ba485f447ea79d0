#include "player/shell/panel/liquid_config_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/settings/checked_values.h"
#include "player/monitor/status_panel.h"
#include "player/shell/panel/liquid_text_window.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {
namespace {

constexpr std::array<std::pair<int, std::uint32_t>, 4> kChoices{{{text_id::kOrange, monitor::kOrange},
                                                                 {text_id::kLightGreen, monitor::kLightGreen},
                                                                 {text_id::kEmeraldGreen, monitor::kEmeraldGreen},
                                                                 {text_id::kBlack, monitor::kBlack}}};

QString qText(int id, int language) {
  return QString::fromUtf8(text(id, language));
}

// The time label and counter of the status panel, moved to the preview's left edge.
TLiquidTextWindow* previewPanel(QWidget* parent) {
  const auto items = monitor::statusPanelItems();
  auto label = items[monitor::item::kTimeLabel];
  auto time = items[monitor::item::kTime];
  time.text = "12:34/56:07";
  const int shift = label.rect.left - 4;
  for (auto* rect : {&label.rect, &time.rect}) {
    rect->left -= shift;
    rect->right -= shift;
  }
  auto* panel = new TLiquidTextWindow(2, parent);
  panel->defineItem(0, label);
  panel->defineItem(1, time);
  panel->setFixedSize(time.rect.right + 4, time.rect.bottom + 4);
  return panel;
}

}  // namespace

TLiquidConfigDialog::TLiquidConfigDialog(int language, QWidget* parent) : QWidget(parent) {
  setWindowTitle(qText(text_id::kPageLiquid, language));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  auto* groupLayout = new QVBoxLayout(group);
  for (std::size_t index = 0; index < kChoices.size(); ++index) {
    colours_[index] = new QRadioButton(qText(kChoices[index].first, language), group);
    groupLayout->addWidget(colours_[index]);
    connect(colours_[index], &QRadioButton::toggled, this, [this, index](bool on) {
      if (!on) return;
      colour_ = kChoices[index].second;
      showPalette();
    });
  }
  layout->addWidget(group);
  layout->addWidget(new QLabel(qText(text_id::kBrightness, language), this));
  brightness_ = new QSlider(Qt::Horizontal, this);
  brightness_->setRange(0, monitor::kMaxBackLightLevel);
  connect(brightness_, &QSlider::valueChanged, this, &TLiquidConfigDialog::showPalette);
  layout->addWidget(brightness_);
  automatic_ = new QCheckBox(qText(text_id::kAutoBackLight, language), this);
  layout->addWidget(automatic_);
  tallMeters_ = new QCheckBox(
      language == kJapanese ? QStringLiteral("16段のメーター (16パート)") : QStringLiteral("16-dot meters (16 parts)"),
      this);
  layout->addWidget(tallMeters_);
  preview_ = previewPanel(this);
  layout->addWidget(preview_);
  setSettings(monitor::BackLightSettings{});
}

void TLiquidConfigDialog::setSettings(const monitor::BackLightSettings& settings) {
  colour_ = settings.colour;
  for (std::size_t index = 0; index < kChoices.size(); ++index) {
    // Exclusive buttons cannot all be cleared while one is checked.
    colours_[index]->setAutoExclusive(false);
    colours_[index]->setChecked(kChoices[index].second == settings.colour);
    colours_[index]->setAutoExclusive(true);
  }
  brightness_->setValue(std::clamp(settings.level, 0, monitor::kMaxBackLightLevel));
  automatic_->setChecked(settings.automatic);
  colour_ = settings.colour;
  showPalette();
}

monitor::BackLightSettings TLiquidConfigDialog::settings() const {
  return {colour_, brightness_->value(), automatic_->isChecked()};
}

void TLiquidConfigDialog::setMeterMode(int mode) {
  tallMeters_->setChecked(mode == 1);
}

int TLiquidConfigDialog::meterMode() const {
  return tallMeters_->isChecked() ? 1 : 0;
}

void TLiquidConfigDialog::read(const platform::settings::SettingsStore& store) {
  setSettings(monitor::readBackLightSettings(store));
  setMeterMode(platform::settings::readIntIn(store, platform::settings::kMainKey, "LiquidMeterMode", 0, 0, 1));
}

bool TLiquidConfigDialog::write(platform::settings::SettingsStore& store) const {
  const auto chosen = settings();
  platform::settings::SettingsBatch batch;
  batch.setInt(platform::settings::kMainKey, "BackLight", static_cast<std::int32_t>(chosen.colour))
      .setInt(platform::settings::kMainKey, "BackLightLevel", chosen.level)
      .setInt(platform::settings::kMainKey, "AutoBackLight", chosen.automatic ? 1 : 0)
      .setInt(platform::settings::kMainKey, "LiquidMeterMode", meterMode());
  return store.apply(batch);
}

void TLiquidConfigDialog::showPalette() {
  const auto palette = monitor::backLightPalette(colour_, brightness_->value());
  preview_->setLiquidPalette(palette);
  emit paletteChanged(palette);
}

}  // namespace volta::shell
