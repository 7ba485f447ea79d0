#include "player/core/app/app_settings.h"

#include "platform/settings/checked_values.h"
#include "player/core/app/button_row.h"
#include "player/core/core_settings.h"

namespace volta::app {

namespace {

using platform::settings::flagBytes;
using platform::settings::kMainKey;
using platform::settings::readFlagBytes;
using platform::settings::SettingsBatch;
using platform::settings::SettingsStore;

constexpr std::size_t kFrameBytes = 16;

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    out[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t getLe32(const std::vector<std::uint8_t>& in, std::size_t at) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

std::vector<std::uint8_t> encodeRect(const Rect& rect) {
  std::vector<std::uint8_t> bytes(kFrameBytes);
  putLe32(bytes, 0, rect.left);
  putLe32(bytes, 4, rect.top);
  putLe32(bytes, 8, rect.width);
  putLe32(bytes, 12, rect.height);
  return bytes;
}

// A stored rectangle of another size is not one: the default stays.
Rect readRect(const SettingsStore& store, const std::string& name, const Rect& fallback) {
  const auto bytes = store.readBinary(kMainKey, name, {});
  if (bytes.size() != kFrameBytes) return fallback;
  return {getLe32(bytes, 0), getLe32(bytes, 4), getLe32(bytes, 8), getLe32(bytes, 12)};
}

std::string indexed(const char* prefix, std::size_t i) {
  return prefix + std::to_string(i);
}

bool readFlag(const SettingsStore& store, const char* name, bool fallback) {
  return platform::settings::readSwitch(store, kMainKey, name, fallback);
}

}  // namespace

std::int32_t migrateSettings(SettingsStore& store) {
  const std::int32_t stored = store.readInt(kMainKey, "Version", 0);
  if (stored >= kSettingsVersion) return stored;
  SettingsBatch batch;
  batch.setInt(kMainKey, "Version", kSettingsVersion).setString(kMainKey, "VersionDescription", kVersionDescription);
  if (stored < 0x104) batch.setInt(kMainKey, "EnableWaveFile", 0);
  if (stored <= 0x104) batch.setInt(kMainKey, "PriorityLevel", 0);
  if (stored <= 0x20104) batch.setString(kMainKey, "DefFile", "");
  if (stored <= 0x20301) batch.setBinary(kMainKey, "NewButtons", encodeButtonRow(defaultButtonRow()));
  store.apply(batch);
  return stored;
}

AppSettings AppSettings::read(const SettingsStore& store) {
  AppSettings s;
  s.windowMode = store.readInt(kMainKey, "WindowMode", s.windowMode);
  s.beforeWindowMode = store.readInt(kMainKey, "BeforeWindowMode", s.beforeWindowMode);
  s.mainWindowX = store.readInt(kMainKey, "MainWindowX", s.mainWindowX);
  s.mainWindowY = store.readInt(kMainKey, "MainWindowY", s.mainWindowY);
  s.mainWindowW = store.readInt(kMainKey, "MainWindowW", s.mainWindowW);
  s.mainWindowH = store.readInt(kMainKey, "MainWindowH", s.mainWindowH);
  s.barMode = store.readInt(kMainKey, "BarMode", s.barMode);
  s.sortMode = store.readInt(kMainKey, "SortMode", s.sortMode);
  for (std::size_t i = 0; i < s.frames.size(); ++i)
    s.frames[i] = readRect(store, indexed("Frame", i), s.frames[i]);
  s.wrdFrameX = store.readInt(kMainKey, "WRDFrameX", s.wrdFrameX);
  s.wrdFrameY = store.readInt(kMainKey, "WRDFrameY", s.wrdFrameY);
  s.repeatMode = readFlag(store, "RepeatMode", s.repeatMode);
  s.singleMode = readFlag(store, "SingleMode", s.singleMode);
  s.singleRepeatMode = readFlag(store, "SingleRPMode", s.singleRepeatMode);
  s.frameMode = readFlagBytes(store, kMainKey, "FrameMode", s.frameMode);
  s.windowFlag = readFlagBytes(store, kMainKey, "WindowFlag", s.windowFlag);
  s.wrdDisable = readFlag(store, "WRDDisable", s.wrdDisable);
  s.menuDisable = readFlag(store, "MenuDisable", s.menuDisable);
  s.midiTemplateMode = core::readMidiTemplateMode(store);
  for (std::size_t i = 0; i < s.history.size(); ++i)
    s.history[i] = store.readString(kMainKey, indexed("History", i), "");
  s.lastVolume = store.readInt(kMainKey, "LastVolume", s.lastVolume);
  return s;
}

void AppSettings::addTo(SettingsBatch& batch) const {
  batch.setInt(kMainKey, "MainWindowX", mainWindowX)
      .setInt(kMainKey, "MainWindowY", mainWindowY)
      .setInt(kMainKey, "MainWindowW", mainWindowW)
      .setInt(kMainKey, "MainWindowH", mainWindowH)
      .setInt(kMainKey, "WindowMode", windowMode)
      .setInt(kMainKey, "BeforeWindowMode", beforeWindowMode)
      .setInt(kMainKey, "BarMode", barMode)
      .setInt(kMainKey, "SortMode", sortMode);
  for (std::size_t i = 0; i < frames.size(); ++i)
    batch.setBinary(kMainKey, indexed("Frame", i), encodeRect(frames[i]));
  batch.setInt(kMainKey, "RepeatMode", repeatMode)
      .setInt(kMainKey, "SingleMode", singleMode)
      .setInt(kMainKey, "SingleRPMode", singleRepeatMode)
      .setBinary(kMainKey, "WindowFlag", flagBytes(windowFlag))
      .setInt(kMainKey, "WRDDisable", wrdDisable)
      .setInt(kMainKey, "MenuDisable", menuDisable)
      .setInt(kMainKey, "LastVolume", lastVolume)
      .setInt(kMainKey, "MIDITemplateMode", midiTemplateMode);
  for (std::size_t i = 0; i < history.size(); ++i)
    batch.setString(kMainKey, indexed("History", i), history[i]);
}

GeneralSettings GeneralSettings::read(const SettingsStore& store) {
  GeneralSettings s;
  s.autoDropPlay = readFlag(store, "AutoDropPlay", s.autoDropPlay);
  s.enableWaveFile = readFlag(store, "EnableWaveFile", s.enableWaveFile);
  s.idleNoAct = readFlag(store, "IdleNoAct", s.idleNoAct);
  s.autoWrd = readFlag(store, "AutoWRD", s.autoWrd);
  s.autoWrd2 = readFlag(store, "AutoWRD2", s.autoWrd2);
  s.noWrd = readFlag(store, "NoWRD", s.noWrd);
  s.openFileDirectory = store.readString(kMainKey, "OpenFileDirectory", "");
  s.openListDirectory = store.readString(kMainKey, "OpenListDirectory", "");
  return s;
}

}  // namespace volta::app
