#pragma once
// Songs inside LZH archives: the members of an archive, and one member extracted on
// demand, with its companions (documents, WRD script, TDF file: every member of the same
// folder and name), into the private extraction folder "VOLTALZH". The last extraction
// is remembered: asking for the same member again does nothing, asking for another first
// deletes what the last one wrote. What is left is deleted when the object goes.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/core/unlha_library.h"

namespace volta::core {

// "VOLTALZH" inside the private folder, made with mode 0700; none when it cannot be made
// or is not a real folder of this user's alone.
std::optional<std::filesystem::path> makeExtractionFolder(const std::filesystem::path& privateFolder);

// Whether the listing holds a WRD script (.WRD, .DV or .SRY) of the song member.
bool hasScriptMember(const std::vector<std::string>& members, const std::string& song);

class LzhArchives {
 public:
  // The library from the program's folder (else the system's path); no folder: nothing extracts.
  LzhArchives(const std::filesystem::path& programFolder, std::optional<std::filesystem::path> extractionFolder);
  ~LzhArchives();
  LzhArchives(const LzhArchives&) = delete;
  LzhArchives& operator=(const LzhArchives&) = delete;

  bool available() const { return library_.available(); }
  std::optional<UnlhaVersion> version() const { return library_.version(); }
  const std::optional<std::filesystem::path>& folder() const { return folder_; }

  // The names of the archive's files, in its order; empty when it cannot be read.
  std::vector<std::string> memberNames(const std::filesystem::path& archive) const;
  // The extracted member's file; none, with lastMessage() saying why, when it is not there.
  std::optional<std::filesystem::path> extract(const std::filesystem::path& archive, const std::string& member);
  // Why the last extraction failed (the library's words when it gave some), without the member's name.
  const std::string& lastMessage() const { return message_; }
  // Deletes the files of the last extraction.
  void cleanUp();

 private:
  UnlhaLibrary library_;
  std::optional<std::filesystem::path> folder_;
  std::filesystem::path cachedArchive_;
  std::string cachedMember_;
  std::vector<std::string> cachedMembers_;
  std::string message_;
};

}  // namespace volta::core
