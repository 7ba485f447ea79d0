#include "player/shell/panel/liquid_config_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>

#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;

QRadioButton* radio(const TLiquidConfigDialog& page, const QString& label) {
  for (QRadioButton* button : page.findChildren<QRadioButton*>()) {
    if (button->text() == label) return button;
  }
  return nullptr;
}

TEST(LiquidConfigPage, ShowsTheStoredChoiceAndWritesTheNewOne) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  TLiquidConfigDialog page(kEnglish);
  EXPECT_EQ(page.windowTitle(), "Like liquid");
  page.read(store);
  ASSERT_NE(radio(page, "Light green"), nullptr);
  EXPECT_TRUE(radio(page, "Light green")->isChecked());
  EXPECT_EQ(page.findChild<QSlider*>()->value(), 18);

  QSignalSpy spy(&page, &TLiquidConfigDialog::paletteChanged);
  radio(page, "Orange")->setChecked(true);
  page.findChild<QSlider*>()->setValue(20);
  page.findChild<QCheckBox*>()->setChecked(true);
  ASSERT_GE(spy.count(), 2);
  EXPECT_EQ(spy.last().at(0).value<monitor::Palette>()[1], (monitor::Rgb{255, 140, 0}));
  ASSERT_TRUE(page.write(store));

  const auto stored = monitor::readBackLightSettings(store);
  EXPECT_EQ(stored.colour, monitor::kOrange);
  EXPECT_EQ(stored.level, 20);
  EXPECT_TRUE(stored.automatic);
}

TEST(LiquidConfigPage, AColourOutsideTheChoicesIsKept) {
  TLiquidConfigDialog page(kJapanese);
  EXPECT_EQ(page.windowTitle(), "液晶設定");
  page.setSettings({0x123456, 40, false});
  for (QRadioButton* button : page.findChildren<QRadioButton*>())
    EXPECT_FALSE(button->isChecked());
  EXPECT_EQ(page.settings().colour, 0x123456u);
  EXPECT_EQ(page.settings().level, 20);  // held to the track bar
  radio(page, "黒")->setChecked(true);
  EXPECT_EQ(page.settings().colour, monitor::kBlack);
}

}  // namespace
}  // namespace volta::shell
