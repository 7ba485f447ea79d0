#pragma once
// Finding and reading the outside files the player core reads.

#include <filesystem>
#include <optional>
#include <string>

namespace volta::core {

// The bytes of a regular file, or none when it is missing, is a folder or
// another special file, or cannot be read. A name with a zero byte names nothing.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// The regular file of that name, or one in the same folder whose name differs
// only in case (songs and their companions come from systems that ignore case).
std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& wanted);

}  // namespace volta::core
