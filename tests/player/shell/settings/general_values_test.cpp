#include "player/shell/settings/general_values.h"

#include <gtest/gtest.h>

#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;
using settings::kMainKey;

class GeneralValuesTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  settings::SettingsStore store_{dir_ / "VOLTA.conf"};
};

TEST_F(GeneralValuesTest, AnEmptyFileGivesTheDefaultsOfEveryPage) {
  const WindowValues window = WindowValues::read(store_);
  EXPECT_EQ(window.frameMode, (std::array<bool, 5>{}));
  EXPECT_EQ(window.priorityLevel, 0);
  EXPECT_EQ(window.minimize, 1);
  EXPECT_FALSE(window.miniAlwaysTop);
  EXPECT_TRUE(window.autoDropPlay);
  EXPECT_FALSE(window.ddNoRead);
  EXPECT_TRUE(window.trayIcon);
  EXPECT_FALSE(window.idleNoAct);
  EXPECT_FALSE(window.idleNoAct2);
  EXPECT_EQ(window.shortCut, "");

  EXPECT_EQ(ListValues::read(store_, kEnglish), (ListValues{"MS Sans Serif", 12, true, false}));
  EXPECT_EQ(ListValues::read(store_, kJapanese).font, "ＭＳ Ｐゴシック");
  EXPECT_EQ(DocValues::read(store_, kEnglish), (DocValues{"Courier New", 12, true}));
  EXPECT_EQ(DocValues::read(store_, kJapanese).font, "ＭＳ ゴシック");

  const WrdValues wrd = WrdValues::read(store_);
  EXPECT_FALSE(wrd.autoWrd || wrd.autoWrd2 || wrd.ddChange || wrd.noWrd);
  EXPECT_FALSE(wrd.display.line480 || wrd.display.highSpeed);
  EXPECT_EQ(wrd.display.vsync, 1);
  EXPECT_EQ(wrd.display.wrdFont, "");
  EXPECT_EQ(wrd.display.kanaFont, "");
}

TEST_F(GeneralValuesTest, ADocumentFontOfTheGraphicCharactersReadsAsTheListFontDefault) {
  store_.writeString(kMainKey, "DocFont", "98GRPH");
  EXPECT_EQ(DocValues::read(store_, kEnglish).font, text(text_id::kListFont, kEnglish));
  EXPECT_EQ(DocValues::read(store_, kJapanese).font, text(text_id::kListFont, kJapanese));
  store_.writeString(kMainKey, "DocFont", "98GRPHX");
  EXPECT_EQ(DocValues::read(store_, kEnglish).font, "98GRPHX");
}

TEST_F(GeneralValuesTest, ValuesOfTheWrongTypeOrOutOfRangeKeepTheirDefaults) {
  settings::SettingsBatch bad;
  bad.setString(kMainKey, "PriorityLevel", "high")
      .setInt(kMainKey, "Minimize", 3)
      .setBinary(kMainKey, "TrayIcon", {0, 0, 0, 0})
      .setInt(kMainKey, "AutoDropPlay", 2)
      .setInt(kMainKey, "MiniAlwaysTop", -1)
      .setBinary(kMainKey, "FrameMode", {1, 1, 1, 1})
      .setInt(kMainKey, "ListFontSize", 500)
      .setInt(kMainKey, "DocFontSize", 0)
      .setBinary(kMainKey, "ListFont", {65, 66})
      .setInt(kMainKey, "VSYNC", 7)
      .setString(kMainKey, "480Line", "yes")
      .setInt(kMainKey, "NoWRD", 9);
  ASSERT_TRUE(store_.apply(bad));
  EXPECT_EQ(WindowValues::read(store_), WindowValues{});
  EXPECT_EQ(ListValues::read(store_, kEnglish),
            ListValues::read(settings::SettingsStore(dir_ / "none.conf"), kEnglish));
  EXPECT_EQ(DocValues::read(store_, kEnglish).fontSize, 12);
  const WrdValues wrd = WrdValues::read(store_);
  EXPECT_EQ(wrd.display.vsync, 1);
  EXPECT_FALSE(wrd.display.line480);
  EXPECT_FALSE(wrd.noWrd);
}

TEST_F(GeneralValuesTest, EachPagesValuesComeBackAsWritten) {
  WindowValues window;
  window.frameMode = {true, false, true, false, true};
  window.priorityLevel = -2;
  window.minimize = 2;
  window.miniAlwaysTop = window.ddNoRead = window.idleNoAct = window.idleNoAct2 = true;
  window.autoDropPlay = window.trayIcon = false;
  window.shortCut = "/home/user/links";
  ListValues list{"DejaVu Sans", 20, false, true};
  DocValues doc{"DejaVu Sans Mono", 9, false};
  WrdValues wrd;
  wrd.autoWrd = wrd.autoWrd2 = wrd.ddChange = wrd.noWrd = true;
  wrd.display.line480 = wrd.display.highSpeed = true;
  wrd.display.vsync = 2;
  wrd.display.wrdFont = "/fonts/face.hex";
  wrd.display.kanaFont = "KANA.FON";
  ASSERT_TRUE(writeValues(store_, window));
  ASSERT_TRUE(writeValues(store_, list));
  ASSERT_TRUE(writeValues(store_, doc));
  ASSERT_TRUE(writeValues(store_, wrd));

  const settings::SettingsStore again(store_.path());
  EXPECT_EQ(WindowValues::read(again), window);
  EXPECT_EQ(ListValues::read(again, kJapanese), list);
  EXPECT_EQ(DocValues::read(again, kJapanese), doc);
  EXPECT_EQ(WrdValues::read(again), wrd);
  EXPECT_EQ(again.readBinary(kMainKey, "FrameMode", {}), (std::vector<std::uint8_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(again.readInt(kMainKey, "PriorityLevel", 0), -2);
}

TEST_F(GeneralValuesTest, AShortcutFolderIsSavedWithoutItsTrailingSlashes) {
  WindowValues window;
  window.shortCut = "C:\\Links\\/";
  ASSERT_TRUE(writeValues(store_, window));
  EXPECT_EQ(store_.readString(kMainKey, "ShortCut", "?"), "C:\\Links");
  window.shortCut = "/";
  ASSERT_TRUE(writeValues(store_, window));
  EXPECT_EQ(store_.readString(kMainKey, "ShortCut", "?"), "/");
}

TEST(ScreenModeText, NamesTheColourDepth) {
  EXPECT_EQ(screenModeText(640, 480, 8, kEnglish), "640x480 256 colors");
  EXPECT_EQ(screenModeText(800, 600, 15, kEnglish), "800x600 32k colors");
  EXPECT_EQ(screenModeText(800, 600, 16, kJapanese), "800x600 64k colors");
  EXPECT_EQ(screenModeText(1920, 1080, 24, kEnglish), "1920x1080 TrueColor(24bit)");
  EXPECT_EQ(screenModeText(1920, 1080, 32, kEnglish), "1920x1080 TrueColor(32bit)");
  EXPECT_EQ(screenModeText(320, 200, 4, kEnglish), "320x200 ????");
}

}  // namespace
}  // namespace volta::shell
