#include "player/monitor/back_light.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace volta::monitor {
namespace {

TEST(BackLightPalette, FullBrightnessGivesTheColourAndAnEighthDarkerUnlitSegment) {
  const Palette palette = backLightPalette(0x00FFC0, 20);
  EXPECT_EQ(palette[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(palette[1], (Rgb{192, 255, 0}));
  EXPECT_EQ(palette[2], (Rgb{0, 0, 0}));
  EXPECT_EQ(palette[3], (Rgb{168, 223, 0}));
}

TEST(BackLightPalette, LevelScalesEveryComponentWithIntegerDivision) {
  EXPECT_EQ(backLightPalette(0x00FFC0, 10)[1], (Rgb{96, 127, 0}));
  EXPECT_EQ(backLightPalette(0x80FF00, 18)[1], (Rgb{0, 229, 115}));
  EXPECT_EQ(backLightPalette(0x00FFC0, 0)[1], (Rgb{0, 0, 0}));
}

TEST(BackLightPalette, LevelsOutsideTheTrackBarAreHeldToIt) {
  // A stored level above 20 would overflow the components and wrap to a dark colour.
  EXPECT_EQ(backLightPalette(0xFFFFFF, 25)[1], (Rgb{255, 255, 255}));
  EXPECT_EQ(backLightPalette(0xFFFFFF, -3)[1], (Rgb{0, 0, 0}));
}

TEST(ModuleBackLight, NamesInAnyCaseAndNumbers) {
  EXPECT_EQ(moduleBackLightColour("ROLAND"), 0x008CFFu);
  EXPECT_EQ(moduleBackLightColour("yamaha"), 0x00FFC0u);
  EXPECT_EQ(moduleBackLightColour("Other"), 0x80FFFFu);
  EXPECT_EQ(moduleBackLightColour("korg"), 0x80FF00u);
  EXPECT_EQ(moduleBackLightColour("65280"), 0xFF00u);
  EXPECT_EQ(moduleBackLightColour("0x80FF00"), 0x80FF00u);
  EXPECT_EQ(moduleBackLightColour("0XaBc"), 0xABCu);
  EXPECT_EQ(moduleBackLightColour(""), std::nullopt);
  EXPECT_EQ(moduleBackLightColour("0x"), std::nullopt);
  EXPECT_EQ(moduleBackLightColour("KORGX"), std::nullopt);
  EXPECT_EQ(moduleBackLightColour("12 green"), std::nullopt);
}

TEST(ModuleBackLight, AutomaticTakesTheModuleColourOnlyWhenItHasOne) {
  BackLightSettings settings;
  EXPECT_EQ(effectiveBackLightColour(settings, "korg"), kLightGreen);
  settings.automatic = true;
  EXPECT_EQ(effectiveBackLightColour(settings, "korg"), kEmeraldGreen);
  EXPECT_EQ(effectiveBackLightColour(settings, std::nullopt), kLightGreen);
  EXPECT_EQ(effectiveBackLightColour(settings, "not a colour"), kLightGreen);
  settings.level = 20;
  EXPECT_EQ(backLightPalette(settings, "ROLAND")[1], (Rgb{255, 140, 0}));
  settings.automatic = false;
  EXPECT_EQ(backLightPalette(settings, "ROLAND")[1], (Rgb{192, 255, 0}));
}

TEST(BackLightSettingsStore, DefaultsAndStoredValues) {
  test::TempDir dir;
  platform::settings::SettingsStore store(dir / "VOLTA.conf");
  BackLightSettings read = readBackLightSettings(store);
  EXPECT_EQ(read.colour, 0xFFC0u);
  EXPECT_EQ(read.level, 18);
  EXPECT_FALSE(read.automatic);

  platform::settings::SettingsBatch batch;
  batch.setInt(platform::settings::kMainKey, "BackLight", static_cast<std::int32_t>(kOrange))
      .setInt(platform::settings::kMainKey, "BackLightLevel", 7)
      .setInt(platform::settings::kMainKey, "AutoBackLight", 2);
  ASSERT_TRUE(store.apply(batch));
  read = readBackLightSettings(store);
  EXPECT_EQ(read.colour, kOrange);
  EXPECT_EQ(read.level, 7);
  EXPECT_TRUE(read.automatic);
}

}  // namespace
}  // namespace volta::monitor
