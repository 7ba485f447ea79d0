#pragma once
// The program's reader of list entries: titles through the engine without an output,
// WRD companions by the folder's names without regard to case. Each folder is listed
// once and listed again only when it changed, so a long list checks its entries quickly.

#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "player/core/engine_binding.h"
#include "player/core/lzh_archives.h"
#include "player/core/playlist/list_opening.h"

namespace volta::core {

// Whether a WRD script (.WRD, .DV or .SRY) lies beside a song.
class WrdCompanions {
 public:
  bool present(const std::filesystem::path& song);

 private:
  struct Folder {
    std::filesystem::file_time_type stamp;
    bool settled = false;
    std::unordered_set<std::string> upperNames;
  };
  const Folder& folder(const std::filesystem::path& path);
  std::unordered_map<std::string, Folder> folders_;
};

// Archive members are extracted to be read, when archives are given.
class SongEntryReader : public EntryReader {
 public:
  explicit SongEntryReader(EngineBinding& binding, LzhArchives* archives = nullptr)
      : binding_(binding), archives_(archives) {}
  int readEntry(const std::filesystem::path& file, MIDIFile& entry) override;
  void checkWrd(const std::filesystem::path& file, MIDIFile& entry) override;
  std::vector<std::string> archiveMembers(const std::filesystem::path& archive) override;
  std::string lastProblem() const override { return problem_; }

 private:
  int readSong(const std::filesystem::path& song, MIDIFile& entry);

  EngineBinding& binding_;
  LzhArchives* archives_;
  WrdCompanions companions_;
  std::string problem_;
};

}  // namespace volta::core
