#pragma once
// The running program's own file and folder: the libraries loaded by name are looked for
// there first, and the desktop entry names the file.

#include <filesystem>

namespace volta::platform {

// Empty when the program's own file cannot be found.
std::filesystem::path programFile();
// The current folder when the program's own file cannot be found.
std::filesystem::path programFolder();

}  // namespace volta::platform
