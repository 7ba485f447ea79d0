#pragma once
// The main frame's own settings: the migration of old settings by "Version", the
// window and mode values read at start, and the same values saved at exit in one
// atomic write.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"

namespace volta::app {

// major * 65536 + minor * 256 + release.
inline constexpr std::int32_t kSettingsVersion = 0x2030B;
inline constexpr const char* kVersionDescription = "2.3 rel.11";

// Brings settings written by an older version up to date; returns the version that was stored.
std::int32_t migrateSettings(platform::settings::SettingsStore& store);

struct Rect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

struct AppSettings {
  std::int32_t windowMode = 0;
  std::int32_t beforeWindowMode = 0;
  std::int32_t mainWindowX = 10, mainWindowY = 10;
  std::int32_t mainWindowW = 0, mainWindowH = 0;  // 0: the window's default size
  std::int32_t barMode = 0;
  std::int32_t sortMode = 0;
  bool repeatMode = false, singleMode = false, singleRepeatMode = false;
  std::array<Rect, 5> frames{defaultFrame(0), defaultFrame(1), defaultFrame(2), defaultFrame(3), defaultFrame(4)};
  std::int32_t wrdFrameX = 100, wrdFrameY = 100;
  std::array<bool, 5> frameMode{};
  std::array<bool, 5> windowFlag{true, true, true, true, true};
  bool wrdDisable = false;
  bool menuDisable = false;
  std::int32_t midiTemplateMode = -1;
  std::array<std::string, 10> history;
  std::int32_t lastVolume = 127;

  static Rect defaultFrame(int pane) { return {10 + 40 * pane, 10 + 40 * pane, 400, 350}; }
  static AppSettings read(const platform::settings::SettingsStore& store);
  // The values saved at exit, added to a batch (the caller adds its own and applies it).
  void addTo(platform::settings::SettingsBatch& batch) const;
};

// General values the controller reads again whenever the configuration changes.
struct GeneralSettings {
  bool autoDropPlay = true;
  bool enableWaveFile = false;
  bool idleNoAct = false;
  bool autoWrd = false;   // bring the WRD pane forward when a song with a script starts
  bool autoWrd2 = false;  // and give back the pane it replaced for a song without one
  bool noWrd = false;     // songs play without their scripts
  std::string openFileDirectory;
  std::string openListDirectory;

  static GeneralSettings read(const platform::settings::SettingsStore& store);
};

}  // namespace volta::app
