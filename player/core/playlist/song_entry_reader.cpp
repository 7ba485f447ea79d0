#include "player/core/playlist/song_entry_reader.h"

#include <array>
#include <chrono>
#include <string_view>
#include <system_error>

#include "engine/protocol/records.h"
#include "platform/file_types.h"
#include "platform/text.h"

namespace volta::core {

using platform::text::upperAscii;

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 3> kScriptExtensions = {".WRD", ".DV", ".SRY"};

std::string stemOf(const fs::path& song) {
  const std::string name = song.filename().string();
  return name.substr(0, name.find_last_of('.'));
}

bool isWave(const fs::path& file) {
  return platform::songFormatOf(file.filename().string()) == platform::SongFormat::kWave;
}

// A song without a title of its own is called by its member or file name, without its
// folder; names are UTF-8 and titles CP932.
void takeTitle(MIDIFile& entry, const std::string& title) {
  if (!title.empty())
    entry.title = title;
  else
    entry.title = platform::text::utf8ToCp932(entry.archiveMember.empty() ? fs::path(entry.fileName).filename().string()
                                                                          : entry.archiveMember);
}

}  // namespace

const WrdCompanions::Folder& WrdCompanions::folder(const fs::path& path) {
  std::error_code error;
  const auto stamp = fs::last_write_time(path, error);
  Folder& cached = folders_[path.string()];
  if (cached.settled && !error && cached.stamp == stamp) return cached;
  // A folder changed moments ago may change again within the same time stamp: listed
  // names are trusted only once its stamp is older than the clock's coarse steps.
  const bool settled = !error && fs::file_time_type::clock::now() - stamp > std::chrono::milliseconds(100);
  cached = Folder{stamp, settled, {}};
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    cached.upperNames.insert(upperAscii(it->path().filename().string()));
  }
  return cached;
}

bool WrdCompanions::present(const fs::path& song) {
  const Folder& names = folder(song.has_parent_path() ? song.parent_path() : fs::path("."));
  const std::string stem = upperAscii(stemOf(song));
  for (const std::string_view extension : kScriptExtensions) {
    if (names.upperNames.count(stem + std::string(extension)) != 0) return true;
  }
  return false;
}

int SongEntryReader::readEntry(const fs::path& file, MIDIFile& entry) {
  problem_.clear();
  if (entry.archiveMember.empty()) return readSong(file, entry);
  const auto extracted = archives_ ? archives_->extract(file, entry.archiveMember) : std::nullopt;
  if (!extracted) {
    problem_ = archives_ ? archives_->lastMessage() : std::string();
    return protocol::kErrOpenFile;
  }
  return readSong(*extracted, entry);
}

int SongEntryReader::readSong(const fs::path& song, MIDIFile& entry) {
  if (isWave(song)) {
    std::error_code error;
    if (!fs::is_regular_file(song, error)) return protocol::kErrOpenFile;
    takeTitle(entry, {});
  } else {
    auto opening = SongHandle::open(binding_, nullptr, song);
    if (!opening.song) return opening.error;
    const SongTitles titles = opening.song->titles();
    if (!titles.ok) return titles.error;
    takeTitle(entry, titles.title);
  }
  checkWrd(song, entry);
  return 0;
}

std::vector<std::string> SongEntryReader::archiveMembers(const fs::path& archive) {
  return archives_ ? archives_->memberNames(archive) : std::vector<std::string>();
}

void SongEntryReader::checkWrd(const fs::path& file, MIDIFile& entry) {
  // A member's script was looked for in its archive's listing; the stored state stands.
  if (!entry.archiveMember.empty()) return;
  entry.wrdState = companions_.present(file) ? 2 : 1;
}

}  // namespace volta::core
