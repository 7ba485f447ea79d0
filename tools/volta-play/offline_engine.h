#pragma once
// The engine linked into volta-play itself, for rendering to a file: it then runs on
// the program's own clock and timers, which the renderer advances faster than real time.

#include <memory>

#include "player/core/engine_binding.h"

namespace volta::play {

std::unique_ptr<core::EngineBinding> bindOfflineEngine();

}  // namespace volta::play
