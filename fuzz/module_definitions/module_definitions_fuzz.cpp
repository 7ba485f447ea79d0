// Arbitrary text as a module definition file, read from disk so that its
// "#include" lines (of itself, too) are followed; then the lookups that the
// player makes. Nothing may crash, hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "player/core/module_definitions.h"

namespace {

const std::filesystem::path& scratchFolder() {
  return volta::fuzz::scratchFolder("volta-def-fuzz");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto file = scratchFolder() / "fuzz.def";
  { std::ofstream(file, std::ios::binary | std::ios::trunc) << text; }

  volta::core::TINICritical store;
  if (!store.loadFile(file)) std::abort();
  store.loadText(text, scratchFolder());
  for (const char* section : {"alias", "keyword", "convindex", "s", "midimessage"}) {
    auto guard = store.lock();
    const volta::core::TINIValues* values = store.findSection(section);
    if (!values) continue;
    for (const auto& entry : values->entries()) {
      // Every entry is found by its key, whatever its case.
      if (!values->find(entry.key)) std::abort();
      store.getInteger(section, entry.key, 0);
      store.resolveAlias(entry.key);
    }
  }
  store.clear();
  return 0;
}
