#pragma once
// Songs for the list editing tests without an engine: a song file's text is its title,
// a file reading "bad" cannot be read, and WRD scripts are found as the program finds them.
// Archives hold the members given in `archives`; a member's title is its name.

#include <map>
#include <string>
#include <vector>

#include "engine/protocol/records.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/song_entry_reader.h"
#include "tests/player/core/playlist/recording_progress.h"
#include "tests/support/test_support.h"

namespace volta::core::testing {

class TextReader : public EntryReader {
 public:
  std::vector<std::filesystem::path> read;
  std::map<std::filesystem::path, std::vector<std::string>> archives;

  int readEntry(const std::filesystem::path& file, MIDIFile& entry) override {
    read.push_back(file);
    if (!entry.archiveMember.empty()) {
      entry.title = entry.archiveMember;
      return 0;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return protocol::kErrOpenFile;
    const std::string text = test::readText(file);
    if (text == "bad") return protocol::kErrNoHeader;
    entry.title = text;
    checkWrd(file, entry);
    return 0;
  }
  void checkWrd(const std::filesystem::path& file, MIDIFile& entry) override {
    entry.wrdState = companions_.present(file) ? 2 : 1;
  }
  std::vector<std::string> archiveMembers(const std::filesystem::path& archive) override {
    const auto found = archives.find(archive);
    return found == archives.end() ? std::vector<std::string>() : found->second;
  }

 private:
  WrdCompanions companions_;
};

// A file holding its text, its folders made.
inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::vector<std::string> fileNames(const std::vector<MIDIFile>& entries) {
  std::vector<std::string> names;
  for (const MIDIFile& entry : entries)
    names.push_back(entry.fileName);
  return names;
}

}  // namespace volta::core::testing
