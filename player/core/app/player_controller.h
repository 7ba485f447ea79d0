#pragma once
// The player's state machine without its windows: the playing state, the commands
// of the menus, buttons and remote control with their effects, the two display
// timers with the end-of-song logic, the window title, the play list's commands,
// the settings read at start and saved at exit, and the start-up restore. The
// windows are reached only through FrameView.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"
#include "player/core/app/app_settings.h"
#include "player/core/app/button_row.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/command_line.h"
#include "player/core/app/frame_view.h"
#include "player/core/midi_file.h"

namespace volta::core {
class EngineBinding;
class PlayList;
class SongPlayer;
class TINICritical;
class WrdFollower;
}  // namespace volta::core

namespace volta::dde {
class DdeHost;
}

namespace volta::app {

// The playing state that is not a setting.
struct PlayingState {
  int savedPane = -1;  // pane replaced by the list during a song selection
  bool playing = false;
  bool paused = false;
  int speed = 0;
  int position = 0;
  std::optional<std::uint32_t> selectDeadline;  // tick count at which a selection is taken
  bool advancePending = false;
  bool fullScreen = false;
  bool midiThruOpen = false;
  bool sliderDragging = false;
  std::uint32_t totalLength = 0;  // ms
  std::uint32_t totalMeasures = 0;
  std::optional<std::uint64_t> lockHolder;  // the remote conversation that holds the lock

  bool selecting() const { return selectDeadline.has_value() || advancePending; }
};

// Optional connections to the WRD window, made by the program when it has one.
struct WrdHooks {
  core::WrdFollower* follower = nullptr;                   // handed the song position
  std::function<const std::string*()> scriptText;          // the running script's text, null when none
  std::function<std::optional<std::size_t>()> scriptStep;  // byte offset of the current step
};

class PlayerController {
 public:
  PlayerController(FrameView& view, platform::settings::SettingsStore& store, std::filesystem::path userDataFolder);
  ~PlayerController();
  PlayerController(const PlayerController&) = delete;
  PlayerController& operator=(const PlayerController&) = delete;

  // ---- start and end, in this order ----
  // Migrates old settings and reads the window and mode values.
  void readSettings();
  // The engine (null: none could be bound) with the module definitions; the output
  // opens on the ports of the current MIDI template.
  void bindEngine(core::EngineBinding* binding, core::TINICritical& definitions);
  // Volume, Stop, timers, the saved pane, and the list the command line asks for.
  void start(const CommandLine& commandLine);
  // Saves the settings of the exit, closes a non-empty list with the default save and stops.
  void shutDown();

  void setWrdHooks(WrdHooks hooks);
  // Called with every song player made, e.g. to give it a wave opener or an archive extractor.
  void setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup);

  // ---- commands ----
  // Runs a command; false when the identifier is not the controller's.
  bool command(int id);
  bool enabled(int id) const;
  bool checked(int id) const;
  // What the button bar shows and allows now.
  ButtonState buttonState() const;

  void play();
  void playPosition(std::uint32_t position);
  void stop();
  void togglePause();
  void pause();   // the remote "Pause": ends a selection, pauses a playing song
  void resume();  // the remote "Resume"
  void fast();
  void slow();
  void next();
  void previous();

  void timer(int id);
  // The display update; full detail from timer 0 and after Stop, basic from idle time.
  void displayUpdate(bool full);
  // Idle time of the message loop with one of the player's windows active.
  void idle();

  void selectPane(int pane);
  void togglePane(int pane);
  void mini();
  void toggleFullScreen();
  void fullScreenFromRemote();

  void sliderPressed();
  void sliderReleased(int tenths);
  void setMidiThruOpen(bool open);
  void setVolume(int volume);
  // The configuration dialogs changed settings: read the general values again.
  void settingsChanged();

  // ---- the play list ----
  // Opens a name (folder, list, WRD script, song) into a fresh list; false when the
  // close of the current list was cancelled. Remote "OpenFile"/"PlayFile" and the command line.
  bool openName(const std::string& name, const std::string& module, bool thenPlay);
  void drop(const std::vector<std::string>& names);
  bool closeList(bool defaultSave);
  std::vector<std::string> albumItems() const;

  // ---- reading ----
  const PlayingState& state() const;
  const AppSettings& settings() const;
  // The view keeps window positions, frames and flags here before shutDown.
  AppSettings& settings();
  // The list itself, for the list window and the list editing dialog (which edits it
  // in place; the controller marks it changed when the dialog ends with OK).
  core::PlayList& playList();
  const core::PlayList& playList() const;
  std::size_t count() const;
  const core::MIDIFile* entryAt(std::size_t position) const;  // play order
  std::string baseFolder() const;
  std::string listFileName() const;
  bool listNamed() const;
  bool listModified() const;
  bool locked() const;
  std::string titleText() const;
  core::SongPlayer* songPlayer() const;
  // The remote-control side of the controller.
  dde::DdeHost& ddeHost();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace volta::app
