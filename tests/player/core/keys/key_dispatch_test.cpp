#include "player/core/keys/key_dispatch.h"

#include <gtest/gtest.h>

#include "player/core/app/command_ids.h"
#include "player/core/keys/tray_menu.h"
#include "tests/support/test_support.h"

namespace volta::keys {
namespace {

namespace cmd = app::cmd;
namespace settings = platform::settings;

constexpr KeyContext kMainWindow{true, true};
constexpr KeyContext kPaneWindow{true, false};
constexpr KeyContext kModalDialogOpen{false, true};

TEST(KeyDispatch, TheKeyTableComesBeforeTheFixedAccelerators) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  // Alt+Enter is full screen until the user gives it to Stop; Ctrl+B the benchmark until Pause.
  EXPECT_EQ(dispatchKey(KeyTable::read(store), kAlt | vk::kReturn, kMainWindow),
            (Dispatched{cmd::kFullScreen, KeySource::kMainWindow}));
  store.writeInt(keyTableKey(), "9000-2", static_cast<std::int32_t>(kAlt | vk::kReturn));
  store.writeInt(keyTableKey(), "9002-1", static_cast<std::int32_t>(kCtrl | vk::letter('B')));
  const KeyTable table = KeyTable::read(store);
  EXPECT_EQ(dispatchKey(table, kAlt | vk::kReturn, kMainWindow), (Dispatched{cmd::kStop, KeySource::kTable}));
  EXPECT_EQ(dispatchKey(table, kCtrl | vk::letter('B'), kMainWindow), (Dispatched{cmd::kPause, KeySource::kTable}));
}

TEST(KeyDispatch, TheMainWindowsAcceleratorsHoldOnlyThere) {
  const KeyTable table = KeyTable::defaults();
  EXPECT_EQ(dispatchKey(table, kShift | vk::letter('D'), kMainWindow),
            (Dispatched{cmd::kBenchmark, KeySource::kMainWindow}));
  EXPECT_EQ(dispatchKey(table, kShift | vk::letter('D'), kPaneWindow), std::nullopt);
  EXPECT_EQ(dispatchKey(table, kAlt | vk::kReturn, kPaneWindow), std::nullopt);
  // The second table holds in a pane's own window as well.
  EXPECT_EQ(dispatchKey(table, kCtrl | vk::letter('B'), kPaneWindow),
            (Dispatched{cmd::kBenchmark, KeySource::kAlways}));
  EXPECT_EQ(dispatchKey(table, kCtrl | vk::letter('W'), kPaneWindow),
            (Dispatched{cmd::kEnableWave, KeySource::kAlways}));
}

TEST(KeyDispatch, TheKeyTableRestsWhileADialogHoldsTheInput) {
  const KeyTable table = KeyTable::defaults();
  EXPECT_EQ(dispatchKey(table, vk::function(12), kMainWindow), (Dispatched{cmd::kStop, KeySource::kTable}));
  EXPECT_EQ(dispatchKey(table, vk::function(12), kModalDialogOpen), std::nullopt);
  EXPECT_EQ(dispatchKey(table, kCtrl | vk::letter('M'), kModalDialogOpen),
            (Dispatched{cmd::kReinitialiseWithReset, KeySource::kAlways}));
}

TEST(KeyDispatch, DebuggingKeysReachTheirCommands) {
  const KeyTable table = KeyTable::defaults();
  const auto command = [&](KeyCode code) {
    const auto dispatched = dispatchKey(table, code, kMainWindow);
    return dispatched ? dispatched->command : 0;
  };
  EXPECT_EQ(command(kCtrl | vk::letter('D')), cmd::kWrdLog);
  EXPECT_EQ(command(kCtrl | vk::letter('N')), cmd::kReinitialiseWithoutReset);
  EXPECT_EQ(command(kCtrl | vk::letter('C')), cmd::kNothing);
  EXPECT_EQ(command(kAlt | vk::numpad(0)), cmd::kWrdPalette);
  EXPECT_EQ(command(kAlt | vk::kDecimal), cmd::kWrdPaletteWhite);
  EXPECT_EQ(command(kAlt | vk::kSubtract), cmd::kWrdGraphics);
  EXPECT_EQ(command(kAlt | vk::kMultiply), cmd::kWrdText);
  for (int page = 0; page <= 8; ++page)
    EXPECT_EQ(command(kAlt | vk::numpad(page + 1)), cmd::kWrdPageFirst + page) << page;
  // The keypad without Alt, and digits of the main keyboard, are no debugging keys.
  EXPECT_EQ(command(vk::numpad(1)), 0);
  EXPECT_EQ(command(kAlt | vk::digit(1)), 0);
  EXPECT_EQ(command(vk::letter('W')), 0);
}

TEST(TrayIcon, MenuAndMouseActions) {
  std::vector<int> commands;
  for (const TrayMenuItem& item : trayMenu())
    commands.push_back(item.command);
  EXPECT_EQ(commands,
            (std::vector<int>{cmd::kPlay, cmd::kStop, cmd::kPause, 0, cmd::kNext, cmd::kPrevious, 0, cmd::kExit}));
  EXPECT_EQ(trayMenu()[0].text, "&PLAY");
  EXPECT_EQ(trayMenu()[5].text, "&BACK");
  EXPECT_EQ(trayMenu()[7].text, "E&xit");
  EXPECT_EQ(trayCommand(TrayMouse::kLeftUp), cmd::kTrayMenu);
  EXPECT_EQ(trayCommand(TrayMouse::kLeftDoubleClick), cmd::kTrayRestore);
  EXPECT_EQ(trayCommand(TrayMouse::kRightUp), cmd::kPlayPause);
  EXPECT_EQ(trayCommand(TrayMouse::kOther), std::nullopt);
}

}  // namespace
}  // namespace volta::keys
