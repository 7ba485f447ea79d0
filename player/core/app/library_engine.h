#pragma once
// The engine library behind the controller: song players over a bound engine with
// the module definitions, and entries read through the same engine.

#include "player/core/app/player_engine.h"
#include "player/core/engine_binding.h"
#include "player/core/lzh_archives.h"
#include "player/core/module_definitions.h"

namespace volta::app {

class LibraryEngine final : public PlayerEngine {
 public:
  // Archive members are read through `archives` when given.
  LibraryEngine(core::EngineBinding& binding, core::TINICritical& definitions, core::LzhArchives* archives = nullptr)
      : binding_(binding), definitions_(definitions), archives_(archives) {}

  std::unique_ptr<EnginePlayer> makePlayer(std::span<const std::uint32_t> devices) override;
  std::unique_ptr<core::EntryReader> entryReader() override;

 private:
  core::EngineBinding& binding_;
  core::TINICritical& definitions_;
  core::LzhArchives* archives_;
};

}  // namespace volta::app
