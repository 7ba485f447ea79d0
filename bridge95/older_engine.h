#pragma once
// The older engine behind the bridge: a library named by the setting "BridgeEngine"
// (libvolta16.so when empty) whose "MIDIEntry" takes the command block's address and
// speaks the same command protocol on it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bridge95/older_engine_setting.h"
#include "platform/settings/settings_store.h"

namespace volta::bridge95 {

// The places to try in order, or none and why the name cannot be used. An absolute
// path is taken as it is; a relative one is looked for in the program's folder, and a
// plain file name then on the system's library path.
struct OlderEngineSearch {
  std::vector<std::string> places;
  std::string refusal;
};
OlderEngineSearch searchOlderEngine(std::string_view name, const std::filesystem::path& programFolder);

// The name the settings give (empty when unset).
std::string olderEngineName(const platform::settings::SettingsStore& store);

using OlderEntry = std::uint32_t (*)(void* block);

// The older engine once registered: its library and entry, both null when there is none.
struct OlderEngine {
  void* library = nullptr;
  OlderEntry entry = nullptr;
};

// Loads the first place that loads and binds its "MIDIEntry"; a library without it is
// let go. On failure the engine is empty and reason says what went wrong.
OlderEngine registerOlderEngine(const OlderEngineSearch& search, std::string& reason);
void unregisterOlderEngine(OlderEngine& engine);

}  // namespace volta::bridge95
