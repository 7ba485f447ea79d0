#pragma once
// The engine behind the player and the song player made on it for the ports of the
// current MIDI template, with the hooks every new song player gets.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/settings/settings_store.h"
#include "player/core/app/app_settings.h"
#include "player/core/app/player_engine.h"
#include "player/core/core_settings.h"
#include "player/monitor/back_light.h"

namespace volta::app {

// The output's master volume runs from 0 to this.
inline constexpr int kMaxVolume = 127;
// The monitor's transposition runs from minus this to this.
inline constexpr int kMaxTransposition = 24;

// Optional connections to the WRD window, made by the program when it has one.
struct WrdHooks {
  core::WrdFollower* follower = nullptr;                   // handed the song position
  std::function<const std::string*()> scriptText;          // the running script's text, null when none
  std::function<std::optional<std::size_t>()> scriptStep;  // byte offset of the current step
};

class EngineSession {
 public:
  // The settings give the MIDI template and the volume of a new player.
  EngineSession(platform::settings::SettingsStore& store, const AppSettings& settings) : store_(store), s_(settings) {}

  // The engine (null: none) and a song player on it.
  void useEngine(std::unique_ptr<PlayerEngine> engine);
  void setWrdHooks(WrdHooks hooks);
  const WrdHooks& wrdHooks() const { return hooks_; }
  // Hands the song player the WRD display, unless "Disable WRD" or "NoWRD" keeps it out of the song's way.
  void followWrd();
  void setNoWrd(bool noWrd) {
    noWrd_ = noWrd;
    followWrd();
  }
  // The LCD back light for the loaded song: the module's colour when "AutoBackLight" is on.
  monitor::Palette backLight() const;
  // Called with every song player made, e.g. to give it a wave opener or an archive extractor.
  void setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup);

  // A new song player with the output options and volume; the old one closes first,
  // as the new one may open the same ports.
  void makePlayer();
  void closePlayer();
  // Called before the song player (and with it the output) goes, e.g. to let go of MIDI THRU.
  void setBeforeClose(std::function<void()> hook) { beforeClose_ = std::move(hook); }
  // The settings (as readCoreSettings last read them) name other ports or another
  // SoundFont than the output was opened with: a new song player is due.
  bool outputStale() const;
  // The ports of the last song player that named a device that is not there (they play
  // on the software synthesizer); each list is handed out once.
  std::optional<std::array<std::string, 3>> takeMissingPorts();
  // Reads the core settings again, with the settings' MIDI template.
  const core::CoreSettings& readCoreSettings();
  const core::CoreSettings& coreSettings() const { return coreSettings_; }
  // The device names of the current MIDI template's ports A to C.
  std::array<std::string, 3> portNames() const;
  // What a load is configured with, from the core settings last read.
  core::SongPlayerSettings songSettings() const;

  // What the performance monitor sets; a new song player is given it too.
  std::uint32_t muteMask() const { return muteMask_; }
  void setMuteMask(std::uint32_t mask);
  int transposition() const { return transposition_; }
  void setTransposition(int semitones);
  void sendChannelMessage(int port, std::uint32_t message);

  EnginePlayer* player() const { return player_.get(); }
  bool hasOutput() const { return player_ && player_->hasOutput(); }
  bool songLoaded() const { return player_ && player_->loaded(); }
  // The library's song player; null without an engine or with a fake one.
  core::SongPlayer* songPlayer() const { return player_ ? player_->songPlayer() : nullptr; }
  // Reads songs added to the list: through the engine, or by their file names without one.
  std::unique_ptr<core::EntryReader> entryReader() const;

 private:
  platform::settings::SettingsStore& store_;
  const AppSettings& s_;
  std::unique_ptr<PlayerEngine> engine_;
  std::unique_ptr<EnginePlayer> player_;
  core::CoreSettings coreSettings_;
  WrdHooks hooks_;
  std::function<void(core::SongPlayer&)> setup_;
  std::function<void()> beforeClose_;
  std::array<std::string, 3> opened_;  // the port names the output was opened on
  std::string openedSoundFont_;        // and the "SoundFont" setting it was opened with
  std::optional<std::array<std::string, 3>> missing_;
  std::uint32_t muteMask_ = 0;
  int transposition_ = 0;
  bool noWrd_ = false;
};

}  // namespace volta::app
