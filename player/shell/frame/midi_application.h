#pragma once
// The application object: it owns the main window, the panes, the display timers
// and the remote-control server, and hosts the player's state machine
// (PlayerController), to which it hands every user action. It decides nothing
// itself: it is the controller's view (FrameView) on Qt widgets.

#include <QObject>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/core/app/frame_view.h"
#include "player/core/app/player_controller.h"
#include "player/core/startup/player_setup.h"

namespace volta::shell {

class TMainFrame;
class TFileList;
class FramePanes;
class ProgressSink;
class NoticeBoxes;
class TProgressDialog;
class TPropertySheet;
class KeyDispatcher;
class TTrayIcon;
class ConversionProgress;
class MidiDialogs;

class MIDIApplication : public QObject, public app::FrameView {
  Q_OBJECT

 public:
  // The player core is assembled through the start-up path from the settings in `places`.
  explicit MIDIApplication(const core::PlayerPlaces& places, QObject* parent = nullptr);
  ~MIDIApplication() override;

  // Reads the settings, builds and shows the windows, binds the engine, starts the
  // remote-control server and does what the command line asks.
  void start(const app::CommandLine& commandLine);
  // Saves and closes (the main window's end); safe to call twice.
  void shutDown();
  // Saves what changed of the list and settings (every second while running).
  void keep();

  TMainFrame& frame() const { return *frame_; }
  // The MIDI setting, port template, MIDI THRU and song dialogs; null before start().
  MidiDialogs* midiDialogs() const { return midi_.get(); }
  TFileList& fileList() const;
  app::PlayerController& controller() const { return *controller_; }
  core::PlayerSetup& setup() const { return *setup_; }
  // The message of a failed engine binding, or the notice that the other engine library
  // serves; empty otherwise.
  const std::string& engineMessage() const { return setup_->message(); }

  // Dialogs answered without being shown (tests, scripted runs): messages and questions
  // are logged, questions get the answer, file dialogs are cancelled.
  void answerDialogs(std::optional<app::Answer> answer) { standIn_ = answer; }
  const std::vector<std::string>& dialogLog() const { return dialogLog_; }
  // A remote command is being served (calls nest): questions are not asked meanwhile.
  void setServingRemote(bool serving) { servingRemote_ += serving ? 1 : -1; }
  // How many messages the open box of the caption stands for (0: none open).
  int noticeCount(const std::string& caption) const;
  // While dialogs are answered without being shown, the next file or save dialog chooses this name.
  void answerFileDialog(const std::string& name) { fileAnswer_ = name; }
  // The dialog of the last adding of songs; null when there was none or it closed.
  TProgressDialog* progressDialog() const;
  // The key table and fixed accelerators in front of the player's windows; the tray icon.
  KeyDispatcher& keys() const { return *keys_; }
  TTrayIcon& tray() const { return *tray_; }

  // The status panel's item text, as shown.
  std::string panelText(int item) const;
  bool panelLamp(int item) const;

  // Opens the property sheet of command 2000 or 2016 (window-modal); OK applies its values at once.
  TPropertySheet* showConfiguration(int command);
  // The open configuration sheet; null when none is open.
  TPropertySheet* configurationSheet() const;
  // The settings changed (a configuration sheet, Ctrl+W): everything they govern takes them
  // again through the start-up path, without a restart: general values, key table, tray icon.
  void applySettings();

  // The interval a display timer was last armed with; none while it is stopped.
  std::optional<int> armedTimer(int id) const;
  // Idle-time display updates run: a song plays, a player window is active, "IdleNoAct" is off.
  bool idleUpdating() const { return idle_.isActive(); }
  // Runs a display timer's expiry at once (tests; the QTimers call the same).
  void fireTimer(int id);

  // ---- FrameView ----
  void setWindowTitle(const std::string& utf8) override;
  void setListFrameTitle(const std::string& utf8) override;
  void setPanelText(int item, const std::string& utf8) override;
  void setPanelLamp(int item, bool lit) override;
  void setBackLight(const monitor::Palette& palette) override;
  void resetMonitor() override;
  void resetWrdScreen() override;
  void noOutput(const std::vector<std::string>& tried) override;
  void animate() override;
  void updateLcd() override;
  void armTimer(int id, int ms) override;
  void killTimer(int id) override;
  void showPane(int pane) override;
  void showFrame(int pane, bool visible) override;
  bool setFullScreen(bool on) override;
  void activateMainWindow() override;
  bool mainWindowMinimized() const override;
  void commandsChanged() override;
  void refreshList() override;
  void refreshRow(int position) override;
  void setListHeaders(const std::string& title, const std::string& fileName) override;
  void showRow(int position) override;
  int selectedRow() const override;
  void setSliderRange(int maximum) override;
  void setSlider(int value) override;
  void setDocumentText(const std::string* bytes) override;
  void setWrdDebugText(const std::string* bytes) override;
  void setWrdDebugCursor(std::size_t offset) override;
  void message(const std::string& caption, const std::string& utf8) override;
  app::Answer ask(const std::string& caption, const std::string& utf8, app::Buttons buttons) override;
  app::FileDialogResult askOpenFile(const app::FileDialogRequest& request) override;
  app::FileDialogResult askFolder(const app::FileDialogRequest& request) override;
  app::FileDialogResult askSaveFile(const app::FileDialogRequest& request) override;
  std::optional<std::vector<core::MIDIFile>> editList(const app::ListEditRequest& request) override;
  std::optional<std::vector<std::string>> editAlbum(const std::vector<std::string>& items) override;
  core::AddProgress* beginProgress() override;
  void launchFileBrowser(const std::string& folder) override;
  void quit() override;

 signals:
  // The main window was painted for the first time (start-up measurements).
  void firstPainted();

 private:
  void connectFrame();
  // The commands of the keys and the tray icon that are the windows' own.
  void keyCommand(int id);
  void setUpKeys();
  void applyTray();
  void startWrdLog();
  void enableWaveFiles();
  void startMidiDialogs();
  void applyWindowSettings();
  void applyFrameModes();
  void applyPriority();
  void keepWindowSettings();
  void runIdle();
  void updateIdle();
  app::FileDialogResult standInFileAnswer(const app::FileDialogRequest& request);
  bool eventFilter(QObject* watched, QEvent* event) override;
  app::Answer unattendedAnswer(const std::string& caption, const std::string& text, app::Buttons buttons);

  std::unique_ptr<platform::settings::SettingsStore> store_;
  std::unique_ptr<core::PlayerSetup> setup_;
  std::unique_ptr<TMainFrame> frame_;
  std::unique_ptr<FramePanes> panes_;
  std::unique_ptr<NoticeBoxes> notices_;
  std::unique_ptr<ConversionProgress> conversionProgress_;
  std::unique_ptr<MidiDialogs> midi_;
  std::unique_ptr<app::PlayerController> controller_;
  std::unique_ptr<KeyDispatcher> keys_;
  std::unique_ptr<TTrayIcon> tray_;
  std::array<QTimer, 2> timers_;
  std::array<std::optional<int>, 2> armed_;
  QTimer idle_;
  QTimer keep_;
  std::unique_ptr<ProgressSink> progress_;
  std::unique_ptr<TPropertySheet> sheet_;
  std::optional<app::Answer> standIn_;
  std::vector<std::string> dialogLog_;
  int servingRemote_ = 0;
  std::optional<std::string> fileAnswer_;
  bool started_ = false;
  bool shutDown_ = false;
  bool painted_ = false;
};

}  // namespace volta::shell
