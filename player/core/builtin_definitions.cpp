#include "player/core/builtin_definitions.h"

namespace volta::core {

void loadBuiltInDefinitions(TINICritical& store) {
  for (const BuiltInText& text : builtInDefinitionTexts())
    store.loadText(text.text, {});
}

void loadModuleDefinitions(TINICritical& store, const std::filesystem::path& userDefFile) {
  auto guard = store.lock();
  store.clear();
  loadBuiltInDefinitions(store);
  if (!userDefFile.empty()) store.loadFile(userDefFile);
}

}  // namespace volta::core
