// What the player pays at start-up and per song: loading the built-in module
// definitions, searching a long document for module keywords, and reading the
// core settings.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "player/core/builtin_definitions.h"
#include "player/core/core_settings.h"
#include "player/core/module_detection.h"

namespace {

namespace core = volta::core;

void LoadBuiltInDefinitions(benchmark::State& state) {
  core::TINICritical store;
  for (auto _ : state) {
    core::loadModuleDefinitions(store, {});
    benchmark::DoNotOptimize(store.findSection("Instrument-GM"));
  }
}
BENCHMARK(LoadBuiltInDefinitions)->Unit(benchmark::kMicrosecond);

// The worst case: 64 KiB of document words, none of them a keyword.
void DetectModuleInLongDocument(benchmark::State& state) {
  core::TINICritical store;
  core::loadModuleDefinitions(store, {});
  store.loadText("[keyword]\nlength=65536\n", {});
  std::string document;
  while (document.size() < 65536)
    document += "Lorem ipsum, dolor (sit) amet\r\n";
  for (auto _ : state) {
    benchmark::DoNotOptimize(core::detectModule(store, {"/music/song.mid", "A title", document, {}, "THRU", true}));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 65536);
}
BENCHMARK(DetectModuleInLongDocument)->Unit(benchmark::kMicrosecond);

void ReadCoreSettings(benchmark::State& state) {
  const auto file = std::filesystem::temp_directory_path() / "volta-bench-settings" / "VOLTA.conf";
  volta::platform::settings::SettingsStore store(file);
  core::CoreSettings().write(store);
  for (auto _ : state)
    benchmark::DoNotOptimize(core::CoreSettings::read(store));
  std::filesystem::remove_all(file.parent_path());
}
BENCHMARK(ReadCoreSettings)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
