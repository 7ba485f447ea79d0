// The start-up path before the first window: the settings read, the module definitions
// loaded, the WRD fonts read (Unifont is the bulk of it) and the DV library looked for;
// then a re-application as a template switch makes it, where the fonts are kept.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "player/core/startup/player_setup.h"

namespace {

namespace core = volta::core;
namespace fs = std::filesystem;

core::PlayerSetupOptions options(const fs::path& folder) {
  core::PlayerSetupOptions o;
  o.places = {folder, folder / "data", folder / "VOLTA.conf"};
  return o;
}

void AssembleThePlayerCore(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "volta-startup-bench";
  volta::platform::settings::SettingsStore store(folder / "VOLTA.conf");
  for (auto _ : state) {
    core::PlayerSetup setup(store, options(folder));
    benchmark::DoNotOptimize(setup.wrd().face());
  }
}
BENCHMARK(AssembleThePlayerCore)->Unit(benchmark::kMillisecond);

void ReapplyAfterATemplateSwitch(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "volta-startup-bench";
  volta::platform::settings::SettingsStore store(folder / "VOLTA.conf");
  core::PlayerSetup setup(store, options(folder));
  for (auto _ : state)
    setup.reapply();
}
BENCHMARK(ReapplyAfterATemplateSwitch)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
