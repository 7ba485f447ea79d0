#pragma once
// The player's temporary folder, private to the user: converted songs and extracted
// archive members have fixed names, so they must not live where others can plant links.

#include <filesystem>
#include <optional>

namespace volta::core {

// "$XDG_RUNTIME_DIR/volta", else "/tmp/volta-<uid>", created with mode 0700. None
// when it cannot be created, is a symbolic link, belongs to someone else or is open
// to others.
std::optional<std::filesystem::path> privateTempFolder();

}  // namespace volta::core
