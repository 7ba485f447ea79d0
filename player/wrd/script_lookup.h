#pragma once
// Finding a song's companion script and telling the kinds of script apart by name.

#include <filesystem>
#include <string_view>

namespace volta::wrd {

// The script source for a song: the song's path with its last three characters replaced by
// "SRY" (taken only when `sryEnabled` and the file exists), else "WRD" (when it exists), else
// "DV", which is passed on whether it exists or not. Existing files are matched without
// regard to case, as scripts come from systems whose file names ignore case.
std::filesystem::path lookupScriptSource(const std::filesystem::path& song, bool sryEnabled);

// ".sry" (any case): a Sherry script, handled by the Sherry processor.
bool isSherryScriptPath(const std::filesystem::path& path);
// Ends in "DV" (any case): a script that the outside converter turns into WRD text.
bool isDvScriptPath(const std::filesystem::path& path);

// `directory / name` when it exists; otherwise the one entry of `directory` whose name equals
// `name` without regard to case; otherwise `directory / name` unchanged. A "\" in `name`
// separates folders, as names in scripts are written for DOS.
std::filesystem::path findFileIgnoringCase(const std::filesystem::path& directory, std::string_view name);

}  // namespace volta::wrd
