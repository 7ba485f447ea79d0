#pragma once
// Replacing a file as a whole: readers see either the old or the new contents, never
// a part, and a failed write leaves the old file as it was.

#include <filesystem>
#include <string_view>

namespace volta::platform {

enum class FileAccess {
  kPrivate,  // the new file is the user's alone (0600)
  kShared,   // a replaced file keeps its permissions; a new one gets 0666 less the umask
};

// Writes `text` to a fresh file beside `target`, flushes it to the disk and renames it
// over `target`. False when any step fails; the temporary file is then removed.
bool replaceFile(const std::filesystem::path& target, std::string_view text, FileAccess access);

// Removes the temporary files that replacements of `target` by processes no longer
// running left behind (a save killed half-way); returns how many.
int removeLeftoverTemporaries(const std::filesystem::path& target);

}  // namespace volta::platform
