#pragma once
// The five built-in module definition texts and the loading order of the store.

#include <filesystem>
#include <span>
#include <string_view>

#include "player/core/module_definitions.h"

namespace volta::core {

struct BuiltInText {
  int resourceId;
  std::string_view fileName;  // the text's file in player/resources/modules
  std::string_view text;
};

// In load order: the module definitions (11000), the Roland instrument tables
// (11010), the XG table (11011), the 05R/W table (11012) and the GM table (11005).
std::span<const BuiltInText> builtInDefinitionTexts();

void loadBuiltInDefinitions(TINICritical& store);

// Start-up and every re-application of the MIDI configuration: empty the store,
// load the built-in texts, then each named file that exists, in order (later ones
// override earlier ones).
void loadModuleDefinitions(TINICritical& store, std::span<const std::filesystem::path> files);

}  // namespace volta::core
