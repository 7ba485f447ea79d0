#pragma once
// The one way every program assembles the player core: the settings read, the module
// definitions loaded (built-ins, "DefFile", "UserDefFile"), the engine bound, the wave
// opener, the WRD display's fonts and options, the DV converter when its library is
// there, the SMF Knife converter when its library is there, and the archive extractor hook. Re-applying after a
// template switch or a settings change goes through here too, so no program can leave a piece out.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"
#include "player/core/core_settings.h"
#include "player/core/engine_binding.h"
#include "player/core/lzh_archives.h"
#include "player/core/module_definitions.h"
#include "player/core/smfk/smfk_library.h"
#include "player/core/song_player.h"
#include "player/core/startup/wave_output.h"
#include "player/core/startup/wrd_setup.h"

namespace volta::core {

// Where a program finds and keeps its things; tests point them at temporary folders.
struct PlayerPlaces {
  std::filesystem::path programFolder;   // the engine library, DEFAULT.WRD, the kana font, outside libraries
  std::filesystem::path userDataFolder;  // DEFAULT.TO2 and other files the player writes
  std::filesystem::path settingsFile;

  // The running program's folder, $XDG_DATA_HOME/volta (else ~/.local/share/volta), the settings file.
  static PlayerPlaces defaults();
};

// Binds an engine from the folder as the settings choose; nullptr with the user's message when
// none can serve, or a binding with a notice in the message.
using EngineBinder = std::function<std::unique_ptr<EngineBinding>(const std::filesystem::path& folder,
                                                                  const EngineChoice& choice, std::string& message)>;

struct PlayerSetupOptions {
  PlayerPlaces places = PlayerPlaces::defaults();
  // The engine library beside the program by default; a rendering links the engine in.
  EngineBinder binder = chooseEngine;
  // Wave files through the audio device by default; a rendering has no place for them.
  WaveOpener waveOpener = openWaveOutput;
  // A terminal player plays the wave files it is given; the window player only with "EnableWaveFile".
  bool alwaysPlayWaves = false;
};

// The settings read at set-up that belong to no other record.
struct SetupSettings {
  CoreSettings core;
  bool enableWaveFile = false;  // "EnableWaveFile"
  std::uint16_t meterMode = 0;  // "LiquidMeterMode", command 70
  WrdSettings wrd;

  static SetupSettings read(const platform::settings::SettingsStore& store);
};

class PlayerSetup {
 public:
  // Reads the settings and prepares everything but the engine (fonts and definitions are
  // needed before the windows are made; binding comes after they are shown).
  PlayerSetup(platform::settings::SettingsStore& store, PlayerSetupOptions options);
  ~PlayerSetup();
  PlayerSetup(const PlayerSetup&) = delete;
  PlayerSetup& operator=(const PlayerSetup&) = delete;

  // Binds the engine; false, with message() set, when none can serve. A message after
  // success is a notice for the user (the other library serves).
  bool bindEngine();
  EngineBinding* binding() const { return binding_.get(); }
  const std::string& message() const { return message_; }

  // Reads the settings again and reloads the module definitions and the fonts that changed
  // (a template switch or a configuration change).
  void reapply();

  // Everything a new song player needs: settings of the current template, wave opener,
  // archive extractor, output options and meter mode.
  void prepare(SongPlayer& player) const;
  // The song-player settings of the current template (handed over again before every load).
  SongPlayerSettings songPlayerSettings() const;

  TINICritical& definitions() const { return definitions_; }
  const SetupSettings& settings() const { return settings_; }
  const WrdSetup& wrd() const { return wrd_; }
  // Archives: listing for the play list, extraction for the song player.
  LzhArchives& archives() const { return *archives_; }
  // The SMF Knife converter, loaded once from the program's folder or the system when it is there.
  smfk::SmfkLibrary& smfkLibrary() const { return smfk_; }
  const PlayerPlaces& places() const { return options_.places; }
  platform::settings::SettingsStore& store() const { return store_; }

  // The names of the hooks a player needs that are left unset; empty when whole.
  std::vector<std::string> missingHooks() const;

 private:
  void loadDefinitions();

  platform::settings::SettingsStore& store_;
  PlayerSetupOptions options_;
  SetupSettings settings_;
  TINICritical& definitions_;
  WrdSetup wrd_;
  mutable smfk::SmfkLibrary smfk_;
  std::unique_ptr<EngineBinding> binding_;
  std::string message_;
  std::unique_ptr<LzhArchives> archives_;
  SongPlayer::Extractor extractor_;
};

}  // namespace volta::core
