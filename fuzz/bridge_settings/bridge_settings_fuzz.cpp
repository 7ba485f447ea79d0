// Arbitrary bytes as the settings file the bridge reads at load: the name of its older
// engine gives places to look that stay whole names, or a refusal, never both. Nothing is
// loaded: the search alone decides what the bridge would hand to the loader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bridge95/older_engine.h"
#include "fuzz/scratch_folder.h"

namespace {

namespace bridge = volta::bridge95;

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path file = volta::fuzz::scratchFolder("volta-bridge-fuzz") / "VOLTA.conf";
  return file;
}

bool wholeName(const std::string& place) {
  return !place.empty() && place.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream(scratchFile(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  }
  const volta::platform::settings::SettingsStore store(scratchFile());
  const std::string name = bridge::olderEngineName(store);
  const auto search = bridge::searchOlderEngine(name, "/opt/volta/bin");
  if (search.places.empty() == search.refusal.empty()) std::abort();
  for (const std::string& place : search.places)
    if (!wholeName(place)) std::abort();
  // A plain name is looked for beside the program, then by the loader's own search.
  if (!search.places.empty() && !name.empty() && name.find('/') == std::string::npos &&
      (search.places.size() != 2 || search.places[1] != name))
    std::abort();
  return 0;
}
