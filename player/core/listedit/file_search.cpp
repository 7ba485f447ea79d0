#include "player/core/listedit/file_search.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <system_error>

#include "platform/file_types.h"
#include "platform/text.h"

namespace volta::core {

namespace fs = std::filesystem;

namespace {

bool nameBefore(const std::string& a, const std::string& b) {
  const std::string upperA = platform::text::upperAscii(a);
  const std::string upperB = platform::text::upperAscii(b);
  return upperA != upperB ? upperA < upperB : a < b;
}

// An archive with a WRD script among its members.
bool holdsWrdScript(const fs::path& archive, EntryReader& reader) {
  const std::vector<std::string> members = reader.archiveMembers(archive);
  return std::any_of(members.begin(), members.end(), [](const std::string& member) {
    return platform::text::equalsIgnoringCase(platform::extensionOf(member), "wrd");
  });
}

class Search {
 public:
  Search(PlayList& list, const SearchOptions& options, EntryReader& reader, AddProgress* progress)
      : list_(list), options_(options), reader_(reader), progress_(progress) {}

  void folder(const std::string& name) {
    MIDIFile probe;
    probe.fileName = name;
    const fs::path path = fullPath(list_.baseFolder, probe);
    std::error_code error;
    // Links may lead back up the tree; each real folder is searched once.
    const std::string real = fs::canonical(path, error).string();
    if (error || !visited_.insert(real).second) return;
    if (progress_) progress_->showSource(path.string());
    const FolderListing listing = listFolder(path);
    for (const std::string& file : listing.files) {
      if (offersSong(path / file, options_.filter, reader_))
        mergeResult(result_, addSong(list_, joinName(name, file), reader_, progress_));
    }
    if (!options_.subFolders) return;
    for (const std::string& sub : listing.folders)
      folder(joinName(name, sub));
  }

  OpenResult take() { return std::move(result_); }

 private:
  PlayList& list_;
  const SearchOptions& options_;
  EntryReader& reader_;
  AddProgress* progress_;
  std::set<std::string> visited_;
  OpenResult result_;
};

}  // namespace

bool offersSong(const fs::path& file, const SongFilter& filter, EntryReader& reader) {
  const std::string name = file.filename().string();
  if (isArchiveName(name)) return !filter.exceptLzh && (!filter.onlyWrd || holdsWrdScript(file, reader));
  if (!isSongName(name, filter.waveEnabled)) return false;
  if (!filter.onlyWrd) return true;
  MIDIFile probe;
  reader.checkWrd(file, probe);
  return probe.wrdState == 2;
}

FolderListing listFolder(const fs::path& folder) {
  FolderListing listing;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.front() == '.') continue;  // hidden
    std::error_code kindError;
    (it->is_directory(kindError) ? listing.folders : listing.files).push_back(std::move(name));
  }
  std::sort(listing.folders.begin(), listing.folders.end(), nameBefore);
  std::sort(listing.files.begin(), listing.files.end(), nameBefore);
  return listing;
}

OpenResult searchFolder(PlayList& list, const std::string& folder, const SearchOptions& options, EntryReader& reader,
                        AddProgress* progress) {
  Search search(list, options, reader, progress);
  search.folder(folder);
  return search.take();
}

OpenResult addSong(PlayList& list, const std::string& name, EntryReader& reader, AddProgress* progress) {
  if (isArchiveName(name)) return addArchive(list, name, {}, reader, progress);
  return addEntry(list, name, {}, reader, progress);
}

void mergeResult(OpenResult& into, OpenResult from) {
  into.added += from.added;
  into.listLoaded = into.listLoaded || from.listLoaded;
  into.messages.insert(into.messages.end(), std::make_move_iterator(from.messages.begin()),
                       std::make_move_iterator(from.messages.end()));
}

std::string joinName(const std::string& folder, const std::string& name) {
  const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return separated ? folder + name : folder + "/" + name;
}

}  // namespace volta::core
