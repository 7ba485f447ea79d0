#pragma once
// The song's TDF file: a Windows-style profile (INI) file beside the song, same
// name with the extension "TDF", holding the song's module and port assignment.
// For a song inside an archive both keys live in a section named after the member.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace volta::core {

struct SongTdf {
  std::string moduleName;  // "ModuleName"; empty when not set
  int portAssignType = 0;  // "PortAssignType"
};

// The TDF file of a song: the song's path with its last three characters
// replaced by "TDF", or an existing file whose name differs only in case.
std::filesystem::path songTdfPath(const std::filesystem::path& songPath);

// The song's values, starting from `defaults` (the play-list entry's); none when
// there is no TDF file. `maxModuleLength` cuts a longer module name (31 when a
// song is loaded, 49 in the dialog).
std::optional<SongTdf> readSongTdf(const std::filesystem::path& songPath, std::string_view member,
                                   const SongTdf& defaults, std::size_t maxModuleLength);

// Writes both values, keeping everything else in the file; false when it cannot be written.
bool writeSongTdf(const std::filesystem::path& songPath, std::string_view member, const SongTdf& values);

// Profile text helpers: sections and keys ignore case, values are trimmed and
// lose one pair of enclosing quotes.
std::optional<std::string> profileValue(std::string_view text, std::string_view section, std::string_view key);
std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace volta::core
