#pragma once
// The window's parts name commands as shell::cmd; the numbers are the controller's.

#include "player/core/app/command_ids.h"

namespace volta::shell {
namespace cmd = app::cmd;
}  // namespace volta::shell
