#pragma once
// What the player's state machine needs of its windows. The main frame implements
// it; tests implement it with a recording fake. Every text crossing here is UTF-8
// (song titles are decoded from CP932 before they are handed over), except the
// document and WRD script bytes, which the panes decode themselves.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/core/midi_file.h"
#include "player/monitor/back_light.h"
#include "player/monitor/status_panel.h"

namespace volta::core {
class AddProgress;
class EntryReader;
class PlayList;
}  // namespace volta::core

namespace volta::app {

// Pane indices; kMini shows none.
inline constexpr int kMini = -1;
inline constexpr int kWrdPane = 0;
inline constexpr int kDocumentPane = 1;
inline constexpr int kListPane = 2;
inline constexpr int kMonitorPane = 3;
inline constexpr int kWrdDebugPane = 4;
inline constexpr int kPaneCount = 5;

// Items of the status panel that the controller fills, as the panel model numbers them.
inline constexpr int kPanelTitle = monitor::item::kTitle;
inline constexpr int kPanelTempo = monitor::item::kTempo;
inline constexpr int kPanelTime = monitor::item::kTime;
inline constexpr int kPanelBar = monitor::item::kBar;
inline constexpr int kPanelBeat = monitor::item::kBeat;
inline constexpr int kPanelTicks = monitor::item::kTicks;
inline constexpr int kPanelGsLamp = monitor::item::kGs;
inline constexpr int kPanelGmLamp = monitor::item::kGm;
inline constexpr int kPanelXgLamp = monitor::item::kXg;
inline constexpr int kPanelPortLampA = monitor::item::kPortA;  // 17 and 18 are ports B and C
inline constexpr int kPanelJamLamp = monitor::item::kJam;
inline constexpr int kPanelWrdLamp = monitor::item::kWrd;
inline constexpr int kPanelDocLamp = monitor::item::kDoc;
inline constexpr int kPanelModule = monitor::item::kModuleName;
inline constexpr int kPanelFileType = monitor::item::kFileType;
inline constexpr int kPanelSmfkLamp = monitor::item::kSmfKnife;

// Timer identifiers: 0 title, time and song change; 1 monitor and LCD animation.
inline constexpr int kDisplayTimer = 0;
inline constexpr int kAnimationTimer = 1;

enum class Answer { kYes, kNo, kCancel };
enum class Buttons { kOk, kYesNo, kYesNoCancel };

// What a file dialog is asked for.
struct FileDialogRequest {
  std::string caption;
  std::string filter;       // "text|*.EXT;*.EXT2|" pairs, as in the string table
  std::string startFolder;  // empty: the dialog's own choice
  bool confirmOverwrite = false;
};

// What the list editing dialog works on: a copy of the list, the reader of the songs it
// adds, and where an absolute list's folder browser starts.
struct ListEditRequest {
  const core::PlayList& list;
  core::EntryReader& reader;
  bool waveEnabled = false;
  std::string startFolder;
};

// The answer of a file or folder dialog: the chosen name (empty on Cancel) and the
// folder the dialog ended in, which is remembered also on Cancel.
struct FileDialogResult {
  std::optional<std::string> name;
  std::string folder;
};

class FrameView {
 public:
  virtual ~FrameView() = default;

  // Titles of the main window and of the list pane's own frame.
  virtual void setWindowTitle(const std::string& utf8) = 0;
  virtual void setListFrameTitle(const std::string& utf8) = 0;

  // Status panel items (0..24) and lamps.
  virtual void setPanelText(int item, const std::string& utf8) = 0;
  virtual void setPanelLamp(int item, bool lit) = 0;
  // The performance monitor and the LCD pane: reset to their idle pictures, and
  // one animation step from the engine's shared records (timer 1).
  // The LCD panels' back light, when a song with another module starts.
  virtual void setBackLight(const monitor::Palette& /*palette*/) {}
  virtual void resetMonitor() = 0;
  virtual void animate() = 0;
  // The LCD pane follows the panel image (full display update).
  virtual void updateLcd() = 0;
  // The WRD screen back to its picture without a song.
  virtual void resetWrdScreen() {}
  // No port opened for a song (the names tried, "(None)" for ports not set): said once, without
  // stopping anything.
  virtual void noOutput(const std::vector<std::string>& /*tried*/) {}

  // One-shot timers: the view calls Playback::timer(id) once when it expires.
  virtual void armTimer(int id, int ms) = 0;
  virtual void killTimer(int id) = 0;

  // Panes: the one shown in the main window (kMini for none), and the visibility of
  // framed panes' own windows (shown restores them from the minimised state).
  virtual void showPane(int pane) = 0;
  virtual void showFrame(int pane, bool visible) = 0;
  // The WRD window's full-screen mode; false when it could not be entered.
  virtual bool setFullScreen(bool on) = 0;
  // Restores and activates the main window (before a remote full-screen request).
  virtual void activateMainWindow() = 0;
  virtual bool mainWindowMinimized() const = 0;
  // Menus, checks and button pictures are to be read again from the controller.
  virtual void commandsChanged() = 0;

  // The list pane: rows changed (all, or one), header texts, select and scroll to a row.
  virtual void refreshList() = 0;
  virtual void refreshRow(int position) = 0;
  virtual void setListHeaders(const std::string& title, const std::string& fileName) = 0;
  virtual void showRow(int position) = 0;
  virtual int selectedRow() const = 0;  // -1 none

  // Position slider in tenths of a second.
  virtual void setSliderRange(int maximum) = 0;
  virtual void setSlider(int value) = 0;

  // Pane contents: the song's document (pane 1) and the WRD script with its current
  // step (pane 4); null when there is none.
  virtual void setDocumentText(const std::string* bytes) = 0;
  virtual void setWrdDebugText(const std::string* bytes) = 0;
  virtual void setWrdDebugCursor(std::size_t offset) = 0;

  // Dialogs.
  virtual void message(const std::string& caption, const std::string& utf8) = 0;
  virtual Answer ask(const std::string& caption, const std::string& utf8, Buttons buttons) = 0;
  virtual FileDialogResult askOpenFile(const FileDialogRequest& request) = 0;
  virtual FileDialogResult askFolder(const FileDialogRequest& request) = 0;
  virtual FileDialogResult askSaveFile(const FileDialogRequest& request) = 0;
  // The progress dialog shown while songs are added to the list; null for none.
  virtual core::AddProgress* beginProgress() { return nullptr; }
  // The list editing dialog; the edited entries in the order of adding on OK.
  virtual std::optional<std::vector<core::MIDIFile>> editList(const ListEditRequest& request) = 0;
  // The album editing dialog with the album's list files; the new items on OK.
  virtual std::optional<std::vector<std::string>> editAlbum(const std::vector<std::string>& items) = 0;

  // The shell's file browser on a folder (empty: its default place).
  virtual void launchFileBrowser(const std::string& folder) = 0;
  // Ends the program's message loop.
  virtual void quit() = 0;
};

}  // namespace volta::app
