#include "bridge95/older_engine.h"

#include <dlfcn.h>
#include <limits.h>

namespace volta::bridge95 {

OlderEngineSearch searchOlderEngine(std::string_view name, const std::filesystem::path& programFolder) {
  if (name.empty()) name = kOlderEngineDefault;
  if (name.find('\0') != std::string_view::npos) return {{}, "the name in \"BridgeEngine\" holds a zero byte"};
  if (name.size() >= PATH_MAX) return {{}, "the name in \"BridgeEngine\" is too long"};
  const std::filesystem::path path(name);
  if (path.is_absolute()) return {{std::string(name)}, {}};
  OlderEngineSearch search{{(programFolder / path).string()}, {}};
  if (name.find('/') == std::string_view::npos) search.places.emplace_back(name);
  return search;
}

std::string olderEngineName(const platform::settings::SettingsStore& store) {
  return store.readString(platform::settings::kMainKey, kOlderEngineSetting, "");
}

OlderEngine registerOlderEngine(const OlderEngineSearch& search, std::string& reason) {
  reason = search.refusal;
  for (const std::string& place : search.places) {
    // Kept mapped when let go, as the player keeps its engine: an engine's audio and MIDI
    // libraries hold once-per-process state that an unload would leave dangling.
    void* library = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
      reason = dlerror();
      continue;
    }
    if (auto entry = reinterpret_cast<OlderEntry>(dlsym(library, "MIDIEntry"))) {
      reason.clear();
      return {library, entry};
    }
    reason = place + " has no entry point \"MIDIEntry\"";
    dlclose(library);
  }
  return {};
}

void unregisterOlderEngine(OlderEngine& engine) {
  if (engine.library) dlclose(engine.library);
  engine = {};
}

}  // namespace volta::bridge95
