// The configuration sheets in the running program: what a first start leaves behind,
// and values written by a sheet taking effect at once, without a restart.

#include <QCheckBox>
#include <QSpinBox>

#include "platform/thread_priority.h"
#include "player/shell/document/document_window.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/settings/doc_config_page.h"
#include "player/shell/settings/list_config_page.h"
#include "player/shell/settings/page_widgets.h"
#include "player/shell/settings/property_sheet.h"
#include "player/shell/settings/window_config_page.h"
#include "player/shell/settings/wrd_config_page.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

using platform::settings::SettingsStore;

template <typename Page>
Page* pageOf(const TPropertySheet& sheet) {
  for (int index = 0; index < sheet.pageCount(); ++index)
    if (auto* page = qobject_cast<Page*>(sheet.page(index))) return page;
  return nullptr;
}

std::vector<std::uint8_t> rect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> bytes;
  for (std::int32_t value : {left, top, width, height})
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
  return bytes;
}

class ConfigurationTest : public ApplicationTest {
 protected:
  SettingsStore file() const { return SettingsStore(places_.settingsFile); }
};

TEST_F(ConfigurationTest, AFirstStartWritesTheDefaultsOfTheExitListAtExit) {
  MIDIApplication& app = launch({"/n"});
  app.shutDown();
  const SettingsStore stored = file();
  for (const char* name : {"MainWindowW", "MainWindowH"})
    EXPECT_TRUE(stored.contains(kMainKey, name)) << name;
  const std::pair<const char*, std::int32_t> values[] = {
      {"MainWindowX", 10}, {"MainWindowY", 10}, {"WindowMode", 0},       {"BeforeWindowMode", 0}, {"BarMode", 0},
      {"SortMode", 0},     {"RepeatMode", 0},   {"SingleMode", 0},       {"SingleRPMode", 0},     {"WRDDisable", 0},
      {"MenuDisable", 0},  {"LastVolume", 127}, {"MIDITemplateMode", -1}};
  for (const auto& [name, value] : values)
    EXPECT_EQ(stored.readInt(kMainKey, name, 12345), value) << name;
  for (int pane = 0; pane < kPaneCount; ++pane)
    EXPECT_EQ(stored.readBinary(kMainKey, "Frame" + std::to_string(pane), {}),
              rect(10 + 40 * pane, 10 + 40 * pane, 400, 350))
        << pane;
  EXPECT_EQ(stored.readBinary(kMainKey, "WindowFlag", {}), (std::vector<std::uint8_t>{1, 1, 1, 1, 1}));
  for (int i = 0; i < 10; ++i) {
    const std::string name = "History" + std::to_string(i);
    EXPECT_TRUE(stored.contains(kMainKey, name)) << name;
    EXPECT_EQ(stored.readString(kMainKey, name, "?"), "") << name;
  }
  // The pages' values were not written, and read as their defaults (the fixture switches
  // the tray icon off, as the offscreen platform has none).
  WindowValues defaults;
  defaults.trayIcon = false;
  EXPECT_EQ(WindowValues::read(stored), defaults);
  EXPECT_FALSE(stored.contains(kMainKey, "FrameMode"));
  EXPECT_EQ(stored.readInt(kMainKey, "PriorityLevel", 9), 0);
}

TEST_F(ConfigurationTest, TheTwoCommandsOpenTheirSheets) {
  MIDIApplication& app = launch({"/n"});
  command(app::cmd::kConfiguration);
  TPropertySheet* sheet = app.configurationSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->windowTitle(), "Configuration");
  EXPECT_NE(pageOf<TWindowConfigDialog>(*sheet), nullptr);
  sheet->reject();
  EXPECT_EQ(app.configurationSheet(), nullptr);
  command(app::cmd::kWindowConfiguration);
  ASSERT_NE(app.configurationSheet(), nullptr);
  EXPECT_EQ(app.configurationSheet()->windowTitle(), "Window Configuration");
  EXPECT_EQ(app.configurationSheet()->pageCount(), 6);
}

TEST_F(ConfigurationTest, OkAppliesTheValuesAtOnce) {
  MIDIApplication& app = launch({listFile().string()});
  EXPECT_FALSE(app.frame().framed(kListPane));
  command(app::cmd::kWindowConfiguration);
  TPropertySheet& sheet = *app.configurationSheet();
  auto* window = pageOf<TWindowConfigDialog>(sheet);
  window->paneBox(kListPane)->setChecked(true);
  window->miniAlwaysTop()->setChecked(true);
  pageOf<TListConfigDialog>(sheet)->font()->sizeBox()->setValue(21);
  pageOf<TDocConfigDialog>(sheet)->font()->sizeBox()->setValue(19);
  pageOf<TWRDConfigDialog>(sheet)->highSpeed()->setChecked(true);
  sheet.accept();

  EXPECT_TRUE(app.frame().framed(kListPane));
  EXPECT_TRUE(app.frame().frameVisible(kListPane));
  EXPECT_TRUE(app.controller().settings().frameMode[kListPane]);
  EXPECT_EQ(app.fileList().font().pixelSize(), 21);
  auto* document = qobject_cast<TDocumentWindow*>(app.frame().paneContent(app::kDocumentPane));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->font().pixelSize(), 19);
  EXPECT_TRUE(app.setup().wrd().settings().highSpeed);
  command(app::cmd::kMini);
  EXPECT_TRUE(app.frame().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  command(app::cmd::kPaneMonitor);
  EXPECT_FALSE(app.frame().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // The next song plays as before.
  command(app::cmd::kPlay);
  EXPECT_TRUE(waitFor([&] { return heard(0); }));
}

TEST_F(ConfigurationTest, PriorityLevelFiveChangesNothing) {
  // Settings of this version: the start does not reset the level as it does for old ones.
  platform::settings::SettingsBatch stored;
  stored.setInt(kMainKey, "Version", app::kSettingsVersion).setInt(kMainKey, "PriorityLevel", 5);
  ASSERT_TRUE(platform::settings::SettingsStore(places_.settingsFile).apply(stored));
  const int before = platform::threadNice();
  MIDIApplication& app = launch({"/n"});
  EXPECT_EQ(platform::threadNice(), before);
  app.applySettings();
  EXPECT_EQ(platform::threadNice(), before);
  EXPECT_EQ(file().readInt(kMainKey, "PriorityLevel", 0), 5);
}

TEST_F(ConfigurationTest, NoFullScreenFromTheStartAfterDdNoRead) {
  platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, "DDNoRead", 1);
  MIDIApplication& app = launch({"/n"});
  command(app::cmd::kFullScreen);
  EXPECT_FALSE(app.controller().panes().fullScreen());
}

TEST_F(ConfigurationTest, DdNoReadWaitsForTheNextStart) {
  MIDIApplication& app = launch({"/n"});
  platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, "DDNoRead", 1);
  app.applySettings();
  command(app::cmd::kFullScreen);
  EXPECT_TRUE(app.controller().panes().fullScreen());
  command(app::cmd::kFullScreen);
}

}  // namespace
}  // namespace volta::shell
