#pragma once
// Reading a whole file for the player core's readers of outside files.

#include <filesystem>
#include <optional>
#include <string>

namespace volta::core {

// The bytes of a regular file, or none when it is missing, is a folder or
// another special file, or cannot be read. A name with a zero byte names nothing.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

}  // namespace volta::core
