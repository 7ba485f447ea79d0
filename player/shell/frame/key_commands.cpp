// The application's side of the keys and the tray icon: the dispatcher in front of the
// player's windows, the tray icon as "TrayIcon" says, and the commands of the debugging
// keys and the tray that the windows carry out themselves.

#include <QCursor>
#include <fstream>

#include "player/core/app/command_ids.h"
#include "player/core/keys/key_table.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/midi_application.h"
#include "player/shell/frame/notice_boxes.h"
#include "player/shell/keys/key_dispatcher.h"
#include "player/shell/keys/tray_icon.h"
#include "player/shell/panel/language.h"
#include "player/shell/wrd/wrd_window.h"

namespace volta::shell {

namespace {

namespace cmd = app::cmd;
using platform::settings::kMainKey;

constexpr const char* kLogCaption = "WRD処理ログファイル";
constexpr const char* kLogFilter = "WRD処理ログファイル(*.LOG,*.TXT)|*.LOG;*.TXT|";
constexpr const char* kLogStarted = "ログファイル書き込みを開始しました";
// The same line in the log's own encoding (Shift JIS), as the log's other texts.
constexpr std::string_view kLogStartedLine =
    "\x83\x8D\x83\x4F\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xF0\x8A\x4A\x8E\x6E\x82\xB5"
    "\x82\xDC\x82\xB5\x82\xBD\n";
constexpr const char* kWaveCaption = "Wave files - VOLTA Player";
constexpr const char* kWaveEnabled = "Function of playing wave files enabled";

constexpr const char* kTrayCaption = "Notification area - VOLTA Player";
QString noTrayText(int language) {
  return QString::fromUtf8(
      language == kJapanese ? "デスクトップに通知領域 (システムトレイ) がないため、トレイアイコンなしで動作します。\n"
                              "このお知らせが要らなければ、ウィンドウ設定の「トレイアイコン」を外してください。"
                            : "The desktop has no notification area (system tray): the player goes on without its "
                              "tray icon.\nSwitch off the tray icon in the window configuration to leave this "
                              "notice out.");
}

bool wrdDebugCommand(TWRDWindow& wrd, int id) {
  if (id >= cmd::kWrdPageFirst && id <= cmd::kWrdPageLast) {
    wrd.showPage(id - cmd::kWrdPageFirst);
    return true;
  }
  switch (id) {
    case cmd::kWrdPalette:
    case cmd::kWrdPaletteWhite:
      wrd.initialisePalette(id == cmd::kWrdPaletteWhite);
      return true;
    case cmd::kWrdGraphics:
      wrd.toggleGraphics();
      return true;
    case cmd::kWrdText:
      wrd.toggleText();
      return true;
    default:
      return false;
  }
}

}  // namespace

void MIDIApplication::setUpKeys() {
  keys_ = std::make_unique<KeyDispatcher>(*frame_);
  keys_->setTable(keys::KeyTable::read(*store_));
  for (int pane = 0; pane < kPaneCount; ++pane)
    KeyDispatcher::markPlayerWindow(*frame_->paneFrame(pane));
  connect(keys_.get(), &KeyDispatcher::command, frame_.get(), &TMainFrame::commandChosen);
  tray_ = std::make_unique<TTrayIcon>();
  connect(tray_.get(), &TTrayIcon::command, frame_.get(), &TMainFrame::commandChosen);
  connect(tray_.get(), &TTrayIcon::unavailable, this,
          [this] { notices_->show(QString::fromUtf8(kTrayCaption), noTrayText(panes_->language())); });
}

void MIDIApplication::applyTray() {
  tray_->apply(store_->readInt(kMainKey, "TrayIcon", 1) != 0);
}

void MIDIApplication::keyCommand(int id) {
  if (wrdDebugCommand(panes_->wrdWindow(), id)) return;
  switch (id) {
    case cmd::kWrdLog:
      startWrdLog();
      break;
    case cmd::kEnableWave:
      enableWaveFiles();
      break;
    case cmd::kTrayMenu:
      tray_->popupMenu(QCursor::pos());
      break;
    case cmd::kTrayRestore:
      activateMainWindow();
      break;
    default:
      break;  // the rest are the controller's and the panes' (Ctrl+C: nothing at all)
  }
}

void MIDIApplication::startWrdLog() {
  const app::FileDialogResult chosen = askSaveFile({kLogCaption, kLogFilter, {}, true});
  if (!chosen.name) return;
  panes_->wrdWindow().interpreter().startDebugLog(*chosen.name);
  std::ofstream(*chosen.name, std::ios::binary | std::ios::app) << kLogStartedLine;
  message(kLogCaption, kLogStarted);
}

void MIDIApplication::enableWaveFiles() {
  store_->writeInt(kMainKey, "EnableWaveFile", 1);
  applySettings();
  message(kWaveCaption, kWaveEnabled);
}

}  // namespace volta::shell
