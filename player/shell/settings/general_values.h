#pragma once
// The general values the configuration pages edit, each page's set read with its
// defaults and written in one batch. A stored value of the wrong type or out of its
// range keeps the default. Qt-free, so the tests and the start-up can share them.

#include <array>
#include <cstdint>
#include <string>

#include "platform/settings/settings_store.h"
#include "player/core/startup/wrd_setup.h"

namespace volta::shell {

// "Window, other".
struct WindowValues {
  std::array<bool, 5> frameMode{};  // per pane: lives in its own frame window
  std::int32_t priorityLevel = 0;   // -2 ... 2
  std::int32_t minimize = 1;        // 0 LCD and status/buttons, 1 status/buttons, 2 LCD only
  bool miniAlwaysTop = false;
  bool autoDropPlay = true;
  bool ddNoRead = false;  // full screen off from the next start
  bool trayIcon = true;
  bool idleNoAct = false;
  bool idleNoAct2 = false;  // kept; nothing reads it
  std::string shortCut;     // kept; saved without a trailing slash

  static WindowValues read(const platform::settings::SettingsStore& store);
  void addTo(platform::settings::SettingsBatch& batch) const;
  bool operator==(const WindowValues&) const = default;
};

// "List".
struct ListValues {
  std::string font;  // the language's default face when none is stored
  std::int32_t fontSize = 12;
  bool fileName = true;  // the File name column
  bool spaceCut = false;

  static ListValues read(const platform::settings::SettingsStore& store, int language);
  void addTo(platform::settings::SettingsBatch& batch) const;
  bool operator==(const ListValues&) const = default;
};

// "Document".
struct DocValues {
  std::string font;  // the language's default face; a stored "98GRPH" reads as the list's default
  std::int32_t fontSize = 12;
  bool autoDoc = true;

  static DocValues read(const platform::settings::SettingsStore& store, int language);
  void addTo(platform::settings::SettingsBatch& batch) const;
  bool operator==(const DocValues&) const = default;
};

// "WRD".
struct WrdValues {
  bool autoWrd = false;
  bool autoWrd2 = false;      // with autoWrd: a song without a script gives back the pane it replaced
  bool ddChange = false;      // kept: full screen never changes the display's depth here
  bool noWrd = false;         // songs play without their scripts
  core::WrdSettings display;  // fonts, "HighSpeedWRD", "480Line", "VSYNC" as the start-up path reads them

  static WrdValues read(const platform::settings::SettingsStore& store);
  void addTo(platform::settings::SettingsBatch& batch) const;
  bool operator==(const WrdValues&) const = default;
};

// One page's values in one atomic write; false when the file could not be written.
template <typename Values>
bool writeValues(platform::settings::SettingsStore& store, const Values& values) {
  platform::settings::SettingsBatch batch;
  values.addTo(batch);
  return store.apply(batch);
}

inline constexpr std::int32_t kMinFontSize = 6, kMaxFontSize = 72;

// The language of the texts as stored (the locale's on a first start).
int storedLanguage(const platform::settings::SettingsStore& store);

// A screen mode as the WRD page lists it: "640x480 TrueColor(24bit)".
std::string screenModeText(int width, int height, int depth, int language);

}  // namespace volta::shell
