#pragma once
// The help commands: the project's own pages, opened in the desktop's browser.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace volta::shell {

// The page a help command shows (contents, contents again where the other system had a
// second help format, questions); none for other commands.
std::optional<std::string_view> helpPageName(int command);
// Where the pages may be, first found first: the installed data folder, then the build tree's.
std::vector<std::filesystem::path> helpFolders(const std::filesystem::path& programFolder);
// The page of a help command that exists; none when it is no help command or no page is there.
std::optional<std::filesystem::path> helpFile(int command, const std::filesystem::path& programFolder);
// Opens the page in the browser; false when there is none or no browser took it.
bool openHelp(int command, const std::filesystem::path& programFolder);

}  // namespace volta::shell
