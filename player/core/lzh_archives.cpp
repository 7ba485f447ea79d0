#include "player/core/lzh_archives.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

#include "platform/text.h"

namespace volta::core {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtractCommand = "e -a0 -c -m1 -n -f1 -y1";
constexpr std::array<std::string_view, 3> kScriptExtensions = {".WRD", ".DV", ".SRY"};

// The member's folder and name without its extension ("SUB/SONG" of "SUB/SONG.MID").
std::string stemOf(const std::string& member) {
  const std::size_t slash = member.rfind('/');
  const std::size_t dot = member.rfind('.');
  return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? member : member.substr(0, dot);
}

std::string quoted(const std::string& text) {
  return " \"" + text + "\"";
}

// The command for the member and every member of the same folder and name.
std::optional<std::string> extractionCommand(const fs::path& archive, const fs::path& folder,
                                             const std::string& member) {
  const std::string arguments[] = {fs::absolute(archive).string(), folder.string() + "/", member,
                                   stemOf(member) + ".*"};
  std::string command(kExtractCommand);
  for (const std::string& argument : arguments) {
    if (argument.find('"') != std::string::npos) return std::nullopt;
    command += quoted(argument);
  }
  return command;
}

// A relative name without "." or ".." parts: joined to the extraction folder it stays
// inside. The library refuses the others; the player never asks for them nor deletes by them.
bool staysInside(const std::string& member) {
  if (member.empty() || member.front() == '/' || member.find('\\') != std::string::npos) return false;
  for (const auto& part : fs::path(member))
    if (part == "." || part == "..") return false;
  return true;
}

// The library's first message line, without the member's name it begins with.
std::string firstLine(const std::string& text, const std::string& member) {
  std::string line(platform::text::trim(text.substr(0, text.find('\n'))));
  const std::string named = member + ": ";
  return line.rfind(named, 0) == 0 ? line.substr(named.size()) : line;
}

// Removes the folders a member's name made, from the deepest, while they are empty.
void removeEmptyFolders(const fs::path& root, const std::string& member) {
  fs::path folder = fs::path(member).parent_path();
  std::error_code ignored;
  while (!folder.empty()) {
    if (!fs::remove(root / folder, ignored)) return;
    folder = folder.parent_path();
  }
}

}  // namespace

std::optional<fs::path> makeExtractionFolder(const fs::path& privateFolder) {
  const fs::path folder = privateFolder / "VOLTALZH";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return std::nullopt;
  const bool ours = S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
  if (!ours) return std::nullopt;
  return folder;
}

bool hasScriptMember(const std::vector<std::string>& members, const std::string& song) {
  const std::string stem = platform::text::upperAscii(stemOf(song));
  return std::any_of(members.begin(), members.end(), [&](const std::string& member) {
    const std::string upper = platform::text::upperAscii(member);
    return std::any_of(kScriptExtensions.begin(), kScriptExtensions.end(),
                       [&](std::string_view extension) { return upper == stem + std::string(extension); });
  });
}

LzhArchives::LzhArchives(const fs::path& programFolder, std::optional<fs::path> extractionFolder)
    : library_(programFolder), folder_(std::move(extractionFolder)) {}

LzhArchives::~LzhArchives() {
  cleanUp();
}

std::vector<std::string> LzhArchives::memberNames(const fs::path& archive) const {
  std::vector<std::string> names;
  for (UnlhaMember& member : library_.list(archive))
    if (!member.folder) names.push_back(std::move(member.name));
  return names;
}

std::optional<fs::path> LzhArchives::extract(const fs::path& archive, const std::string& member) {
  message_.clear();
  if (!folder_) {
    message_ = "there is no private folder for archive members";
    return std::nullopt;
  }
  if (!staysInside(member)) {
    message_ = "refused: its path leaves the extraction folder";
    return std::nullopt;
  }
  const fs::path extracted = *folder_ / member;
  std::error_code error;
  if (archive == cachedArchive_ && member == cachedMember_ && fs::is_regular_file(extracted, error)) return extracted;
  cleanUp();
  cachedArchive_ = archive;
  cachedMember_ = member;
  cachedMembers_ = memberNames(archive);
  const auto command = extractionCommand(archive, *folder_, member);
  if (!command) {
    message_ = "a name with a double quote cannot be extracted";
    return std::nullopt;
  }
  std::string output;
  const int result = library_.run(*command, output);
  if (fs::is_regular_file(fs::symlink_status(extracted, error))) return extracted;
  message_ = result == -1 ? "the LZH archive library is missing" : firstLine(output, member);
  if (message_.empty()) message_ = "not found in the archive";
  return std::nullopt;
}

void LzhArchives::cleanUp() {
  if (folder_) {
    std::error_code ignored;
    for (const std::string& member : cachedMembers_) {
      if (!staysInside(member)) continue;
      fs::remove(*folder_ / member, ignored);
      removeEmptyFolders(*folder_, member);
    }
  }
  cachedArchive_.clear();
  cachedMember_.clear();
  cachedMembers_.clear();
}

}  // namespace volta::core
