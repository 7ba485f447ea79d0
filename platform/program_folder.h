#pragma once
// The folder of the running program: the libraries loaded by name are looked for there first.

#include <filesystem>

namespace volta::platform {

// The current folder when the program's own file cannot be found.
std::filesystem::path programFolder();

}  // namespace volta::platform
