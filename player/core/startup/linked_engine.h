#pragma once
// The engine linked into the program itself instead of loaded by name: it then runs on
// the program's own clock and timers, which a rendering advances faster than real time,
// and tools, tests and benchmarks reach it without a library search.

#include <filesystem>
#include <memory>
#include <string>

#include "player/core/engine_binding.h"

namespace volta::core {

// Nullptr when the command block cannot be had.
std::unique_ptr<EngineBinding> bindLinkedEngine();
// The same as a start-up path's engine binder: the folder is not searched.
std::unique_ptr<EngineBinding> bindLinkedEngineFor(const std::filesystem::path& folder, const EngineChoice& choice,
                                                   std::string& message);

}  // namespace volta::core
