#include "player/core/builtin_definitions.h"

#include "player/core/module_texts.h"

namespace volta::core {
namespace {

std::string_view asText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::span<const BuiltInText> builtInDefinitionTexts() {
  static const BuiltInText texts[] = {
      {11000, "modules.def", asText(embedded::modulesDef())},
      {11010, "instruments_roland.def", asText(embedded::instrumentsRoland())},
      {11011, "instruments_xg.def", asText(embedded::instrumentsXG())},
      {11012, "instruments_05rw.def", asText(embedded::instruments05RW())},
      {11005, "instruments_gm.def", asText(embedded::instrumentsGM())},
  };
  return texts;
}

void loadBuiltInDefinitions(TINICritical& store) {
  for (const BuiltInText& text : builtInDefinitionTexts())
    store.loadText(text.text, {});
}

void loadModuleDefinitions(TINICritical& store, std::span<const std::filesystem::path> files) {
  auto guard = store.lock();
  store.clear();
  loadBuiltInDefinitions(store);
  for (const std::filesystem::path& file : files)
    if (!file.empty()) store.loadFile(file);
}

}  // namespace volta::core
