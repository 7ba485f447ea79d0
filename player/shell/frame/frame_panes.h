#pragma once
// The pieces of the main window around the frame itself: the status panel, the
// button bar and menus, and the contents of the five panes (WRD screen, document,
// list, monitor, WRD debug). The application reaches them only through here.

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/protocol/records.h"
#include "platform/settings/settings_store.h"
#include "player/monitor/back_light.h"

namespace volta::app {
class EnginePlayer;
class PlayerController;
}  // namespace volta::app
namespace volta::core {
class PlayerSetup;
}

namespace volta::shell {

class TMainFrame;
class TFileList;
class TLiquidWindow;
class TMonitorWindow;
class TPianoRollWindow;
class TWRDWindow;

class FramePanes : public QObject {
  Q_OBJECT

 public:
  // The WRD window takes its fonts and options from the start-up path.
  FramePanes(TMainFrame& frame, const core::PlayerSetup& setup);
  ~FramePanes() override;

  TFileList& fileList() const;
  TMonitorWindow& monitorWindow() const;
  TLiquidWindow& liquidWindow() const;
  TWRDWindow& wrdWindow() const;
  // The piano roll window of a monitor row, once asked for; null before.
  TPianoRollWindow* pianoRoll(int row) const;

  // At start: the language, the list's columns, whether full screen may be used, and the general values.
  void readSettings(const platform::settings::SettingsStore& store);
  // The general values again (after a configuration change): the list's and document's fonts,
  // blank cutting, "IdleNoAct", the button row, mini mode's content, the back light and the
  // WRD window's fonts and options from the start-up path.
  void applyGeneralSettings(const platform::settings::SettingsStore& store);
  void keepSettings(platform::settings::SettingsStore& store) const;
  bool idleSwitchedOff() const { return idleNoAct_; }
  // Connects the panes that follow the song (the WRD screen) and builds the menus.
  void attach(app::PlayerController& controller);

  void setPanelText(int item, const std::string& utf8);
  // The first line of the status panel, painted now: a conversion holds the event loop.
  void showConversionProgress(const std::string& utf8);
  void setPanelLamp(int item, bool lit);
  std::string panelText(int item) const;
  bool panelLamp(int item) const;
  void setBackLight(const monitor::Palette& palette);
  void resetMonitor();
  void resetWrdScreen();
  // The texts' language (0 Japanese, 1 English).
  int language() const;
  void animate();
  void updateLcd();
  bool setFullScreen(bool on);
  // Mini mode shows the LCD canvas beside or instead of the status panel, as "Minimize" says.
  void setMiniMode(bool mini);

  void commandsChanged(const app::PlayerController& controller);
  void refreshList(const app::PlayerController& controller);
  void refreshRow(const app::PlayerController& controller, int position);

  void setDocumentText(const std::string* bytes);
  void setWrdDebugText(const std::string* bytes);
  void setWrdDebugCursor(std::size_t offset);

  bool editList();
  // Commands none of the panes knows go here (the MIDI dialogs).
  void setOtherCommands(std::function<bool(int)> handler) { otherCommands_ = std::move(handler); }
  std::optional<std::vector<std::string>> editAlbum(const std::vector<std::string>& items);

 signals:
  // The configuration (2000) or window configuration (2016) sheet is asked for.
  void configurationChosen(int command);
  // The menus speak the other language now.
  void languageChanged();

 public slots:
  // Every command of the menus, buttons, keys and panes arrives here.
  void choose(int id);
  void showPianoRoll(int row);

 private:
  void showKeyHelp();
  void applyWrdSetup();
  void keepMiniOnTop();
  struct Parts;
  void buildMenus();
  void connectMonitor(app::PlayerController& controller);
  void followPianoRolls(const protocol::SequencerStatus& status, const protocol::ChannelState* channels);
  void updateMonitor(const app::EnginePlayer& player, const protocol::ChannelState* channels,
                     const protocol::OutputStatus& output, std::uint32_t now);
  TMainFrame& frame_;
  const core::PlayerSetup& setup_;
  std::unique_ptr<Parts> parts_;
  bool idleNoAct_ = false;
  bool spaceCut_ = false;
  int minimize_ = 1;
  bool miniAlwaysTop_ = false;
  bool mini_ = false;
  bool fullScreenAllowed_ = true;
  std::function<bool(int)> otherCommands_;
};

}  // namespace volta::shell
