#pragma once
// The player's state machine without its windows, made of parts that each keep
// their own state: the engine with its song player (EngineSession), the playing
// state with the display timers (Playback), the panes and titles (PaneState), the
// play list's commands (ListCommands) and the remote control (RemoteHost). The
// controller owns them with the settings they share, runs the start and the exit,
// and routes the menu and button commands. The windows are reached only through
// FrameView, the engine only through PlayerEngine.

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/settings/settings_store.h"
#include "player/core/app/app_settings.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/command_line.h"
#include "player/core/app/engine_session.h"
#include "player/core/app/frame_view.h"
#include "player/core/app/list_commands.h"
#include "player/core/app/pane_state.h"
#include "player/core/app/playback.h"
#include "player/core/app/player_engine.h"
#include "player/core/app/remote_host.h"

namespace volta::core {
class EngineBinding;
class LzhArchives;
class SongPlayer;
class TINICritical;
}  // namespace volta::core

namespace volta::app {

class PlayerController {
 public:
  PlayerController(FrameView& view, platform::settings::SettingsStore& store, std::filesystem::path userDataFolder);
  ~PlayerController();
  PlayerController(const PlayerController&) = delete;
  PlayerController& operator=(const PlayerController&) = delete;

  // ---- start and end, in this order ----
  // Migrates old settings and reads the window and mode values.
  void readSettings();
  // The engine library (null, or not bound: none) with the module definitions; the
  // output opens on the ports of the current MIDI template. Songs in archives are listed
  // and read through `archives` when given.
  void bindEngine(core::EngineBinding* binding, core::TINICritical& definitions, core::LzhArchives* archives = nullptr);
  // Any engine in place of the library's, e.g. a fake one.
  void useEngine(std::unique_ptr<PlayerEngine> engine);
  // Volume, Stop, timers, the saved pane, and the list the command line asks for.
  void start(const CommandLine& commandLine);
  // Saves the settings of the exit, closes a non-empty list with the default save and stops.
  void shutDown();
  // Saves what the exit would (the settings, the unnamed list, the last list and position)
  // without closing anything, so that a crash loses little; only what changed is written.
  // A failed settings save is told once, until one succeeds again.
  void keep();

  void setWrdHooks(WrdHooks hooks);
  // Called with every song player made, e.g. to give it a wave opener or an archive extractor.
  void setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup);

  // ---- commands of the menus and buttons ----
  // Runs a command; false when the identifier is not the controller's.
  bool command(int id);
  bool enabled(int id) const;
  bool checked(int id) const;
  // The configuration dialogs changed settings: read the general values and the MIDI
  // template in use again (new ports and output options take effect with the next song).
  void settingsChanged();

  // ---- the parts ----
  EngineSession& session();
  const EngineSession& session() const;
  Playback& playback();
  const Playback& playback() const;
  PaneState& panes();
  const PaneState& panes() const;
  ListCommands& lists();
  const ListCommands& lists() const;
  RemoteHost& remote();
  const RemoteHost& remote() const;

  const AppSettings& settings() const;
  // The view keeps window positions, frames and flags here before shutDown.
  AppSettings& settings();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  bool keepFailed_ = false;
};

}  // namespace volta::app
