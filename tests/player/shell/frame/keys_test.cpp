// The keys of the real program, sent as key events to its windows offscreen: the key
// table with its defaults and stored keys, the fixed accelerators with the debugging
// views, and the tray icon, which the offscreen desktop does not have.

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <fstream>
#include <iterator>

#include "player/core/keys/key_table.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/keys/key_dispatcher.h"
#include "player/shell/keys/tray_icon.h"
#include "player/shell/wrd/wrd_full_screen.h"
#include "player/shell/wrd/wrd_window.h"
#include "tests/player/shell/frame/application_fixture.h"
#include "tests/support/wave_writer.h"

namespace volta::shell {
namespace {

namespace cmd = app::cmd;
constexpr const char* kTrayCaption = "Notification area - VOLTA Player";

class KeysTest : public ApplicationTest {
 protected:
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&app_->frame(), key, modifiers);
  }
  bool playing() const { return app_->controller().playback().state().playing; }
  bool paused() const { return app_->controller().playback().state().paused; }
  int pane() const { return app_->frame().shownPane(); }
  QString wrdLabel() const { return app_->frame().findChild<TWRDWindow*>()->statusLabel(); }
  void storeKey(int command, int slot, keys::KeyCode code) {
    platform::settings::SettingsStore(places_.settingsFile)
        .writeInt(keys::keyTableKey(), keys::keyValueName(command, slot), static_cast<std::int32_t>(code));
  }
};

TEST_F(KeysTest, TheDefaultKeysDriveThePlayer) {
  launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  key(Qt::Key_F11);
  EXPECT_TRUE(paused());
  key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_FALSE(paused());
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(app_->controller().playback().state().position, 2);
  key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(app_->controller().playback().state().position, 1);
  key(Qt::Key_F12);
  EXPECT_FALSE(playing());

  key(Qt::Key_F6);
  EXPECT_EQ(pane(), app::kDocumentPane);
  key(Qt::Key_F7);
  EXPECT_EQ(pane(), app::kListPane);
  key(Qt::Key_F10);  // the monitor; the menu bar stays as it is
  EXPECT_EQ(pane(), app::kMonitorPane);
  EXPECT_FALSE(app_->frame().menuBar()->isHidden());
  key(Qt::Key_Tab);
  EXPECT_EQ(pane(), app::kWrdDebugPane);
  key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(pane(), app::kMonitorPane);
  key(Qt::Key_F8);
  EXPECT_EQ(pane(), kMiniPane);
  key(Qt::Key_F5);
  EXPECT_EQ(pane(), app::kWrdPane);

  key(Qt::Key_Return, Qt::AltModifier);
  ASSERT_TRUE(app_->controller().panes().fullScreen());
  // The full-screen window stands for the main window: Alt+Enter there leaves it again.
  QWidget* fullScreen = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (qobject_cast<TWRDFullScreenWindow*>(window)) fullScreen = window;
  ASSERT_NE(fullScreen, nullptr);
  QTest::keyClick(fullScreen, Qt::Key_Return, Qt::AltModifier);
  EXPECT_FALSE(app_->controller().panes().fullScreen());
  key(Qt::Key_F9);
  EXPECT_TRUE(app_->controller().panes().fullScreen());
  key(Qt::Key_F9);
  EXPECT_FALSE(app_->controller().panes().fullScreen());
  key(Qt::Key_F4, Qt::AltModifier);
  EXPECT_FALSE(app_->frame().isVisible());
}

TEST_F(KeysTest, StoredKeysWinAndTheFirstRecordHoldingAKeyWins) {
  storeKey(cmd::kStop, 2, keys::vk::function(5));                          // F5 stays the WRD pane's
  storeKey(cmd::kPaneMonitor, 1, 0);                                       // F10 is free again ...
  storeKey(cmd::kPause, 1, keys::kAlt | keys::vk::kReturn);                // ... and Alt+Enter pauses
  storeKey(cmd::kPlayPause, 1, keys::kExtended | keys::vk::function(11));  // never fires
  launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  key(Qt::Key_F6);
  key(Qt::Key_F5);
  EXPECT_EQ(pane(), app::kWrdPane);
  EXPECT_TRUE(playing());
  key(Qt::Key_F11);
  EXPECT_FALSE(paused());
  key(Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(paused());
  EXPECT_FALSE(app_->controller().panes().fullScreen());
  // F10 with no record peeks a hidden menu bar.
  command(cmd::kMenuBar);
  ASSERT_TRUE(app_->frame().menuBar()->isHidden());
  key(Qt::Key_F10);
  EXPECT_FALSE(app_->frame().menuBar()->isHidden());
  EXPECT_EQ(pane(), app::kWrdPane);
  app_->frame().menuBar()->activeAction()->menu()->hide();
  ASSERT_TRUE(waitFor([&] { return app_->frame().menuBar()->isHidden(); }));
  // Alt with a key that is a command is no Alt alone: the bar stays hidden.
  QTest::keyPress(&app_->frame(), Qt::Key_Alt, Qt::AltModifier);
  QTest::keyClick(&app_->frame(), Qt::Key_2, Qt::AltModifier | Qt::KeypadModifier);
  QTest::keyRelease(&app_->frame(), Qt::Key_Alt);
  EXPECT_TRUE(app_->frame().menuBar()->isHidden());
  EXPECT_EQ(wrdLabel(), " Page 1 ");
}

TEST_F(KeysTest, PlayingKeysAreRefusedWhileARemoteClientHoldsTheLock) {
  launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  app_->controller().remote().setLockHolder(dde::Conversation{7});
  key(Qt::Key_F12);
  key(Qt::Key_F11);
  key(Qt::Key_D, Qt::ShiftModifier);  // the benchmark is refused too
  EXPECT_TRUE(playing());
  EXPECT_FALSE(paused());
  key(Qt::Key_F7);  // a pane is no playing command
  EXPECT_EQ(pane(), app::kListPane);
}

TEST_F(KeysTest, TheDebuggingKeysReachTheWrdScreenTheLogTheEngineAndWavePlaying) {
  platform::settings::SettingsStore(places_.settingsFile).writeInt(platform::settings::kMainKey, "AutoDropPlay", 0);
  launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  const auto keypad = Qt::AltModifier | Qt::KeypadModifier;
  key(Qt::Key_1, keypad);
  EXPECT_EQ(wrdLabel(), " Page 0 ");
  key(Qt::Key_Minus, keypad);
  EXPECT_EQ(wrdLabel(), " Graphic OFF ");
  key(Qt::Key_Asterisk, keypad);
  EXPECT_EQ(wrdLabel(), " Text OFF ");
  key(Qt::Key_Period, keypad);
  EXPECT_EQ(wrdLabel(), " Initialize palette (white) ");
  key(Qt::Key_Insert, keypad);  // keypad 0 with NumLock off
  EXPECT_EQ(wrdLabel(), " Initialize palette ");
  key(Qt::Key_1, Qt::AltModifier);  // the main keyboard's 1 is no page key
  EXPECT_EQ(wrdLabel(), " Initialize palette ");

  const fs::path log = dir_ / "wrd.log";
  app_->answerFileDialog(log.string());
  key(Qt::Key_D, Qt::ControlModifier);
  std::ifstream in(log, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(text.substr(0, 4), "\x83\x8D\x83\x4F");  // "ログ" in Shift JIS
  EXPECT_EQ(app_->dialogLog().back(), "WRD処理ログファイル: ログファイル書き込みを開始しました");

  key(Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(platform::settings::SettingsStore(places_.settingsFile)
                .readInt(platform::settings::kMainKey, "EnableWaveFile", 0),
            1);
  EXPECT_EQ(app_->dialogLog().back(), "Wave files - VOLTA Player: Function of playing wave files enabled");
  const fs::path wave = dir_ / "tone.wav";
  test::writeFile(wave, test::waveFile({}));
  app_->controller().lists().drop({wave.string()});
  EXPECT_EQ(app_->fileList().rowCount(), 5);

  key(Qt::Key_M, Qt::ControlModifier);
  EXPECT_FALSE(playing());
  EXPECT_TRUE(waitFor([&] {
    const auto lines = trace();
    return test::findLine(lines, "B0 79 00") < lines.size();
  }));
  key(Qt::Key_C, Qt::ControlModifier);  // nothing at all
  key(Qt::Key_F11);
  EXPECT_TRUE(playing());
}

TEST_F(KeysTest, APanesOwnWindowTakesTheTableButNotTheMainWindowsAccelerators) {
  platform::settings::SettingsStore(places_.settingsFile)
      .writeBinary(platform::settings::kMainKey, "FrameMode", {0, 0, 1, 0, 0});
  launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  QWidget& listWindow = *app_->frame().paneFrame(app::kListPane);
  QTest::keyClick(&listWindow, Qt::Key_F12);
  EXPECT_FALSE(playing());
  QTest::keyClick(&listWindow, Qt::Key_Return, Qt::AltModifier);
  EXPECT_FALSE(app_->controller().panes().fullScreen());
  QTest::keyClick(&listWindow, Qt::Key_2, Qt::AltModifier | Qt::KeypadModifier);
  EXPECT_EQ(wrdLabel(), " Page 1 ");
}

TEST_F(KeysTest, WithoutANotificationAreaThePlayerSaysSoOnceAndGoesOn) {
  platform::settings::SettingsStore(places_.settingsFile).writeInt(platform::settings::kMainKey, "TrayIcon", 1);
  launch({"/n"});
  EXPECT_FALSE(app_->tray().shown());
  EXPECT_EQ(app_->noticeCount(kTrayCaption), 1);
  app_->applySettings();
  EXPECT_EQ(app_->noticeCount(kTrayCaption), 1);
  // The tray's own commands: its menu at the cursor, and the main window brought back.
  command(cmd::kTrayMenu);
  EXPECT_TRUE(app_->tray().menu().isVisible());
  app_->tray().menu().actions().at(0)->trigger();  // &PLAY on an empty list
  EXPECT_EQ(app_->panelText(app::kPanelTitle), "ERROR: 曲がありません");
  app_->tray().menu().hide();
  app_->frame().showMinimized();
  command(cmd::kTrayRestore);
  EXPECT_FALSE(app_->frame().isMinimized());
}

TEST_F(KeysTest, NoTrayIconWantedNoNotice) {
  launch({"/n"});  // "TrayIcon" 0
  EXPECT_EQ(app_->noticeCount(kTrayCaption), 0);
  EXPECT_FALSE(app_->tray().shown());
}

}  // namespace
}  // namespace volta::shell
