#pragma once
// Finding songs in folders: which files of a folder are offered as songs, and the
// search that adds every song of a folder and of its sub-folders to a list.

#include <filesystem>
#include <string>
#include <vector>

#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/playlist.h"

namespace volta::core {

struct SongFilter {
  bool waveEnabled = false;  // wave files count as songs
  bool onlyWrd = false;      // only songs with a WRD script beside them
  bool exceptLzh = false;    // archives left out
};

// Whether a file is offered as a song: its extension is a song's in the shared
// extension table or an archive's (unless those are left out), and it has a WRD script
// (an archive: among its members) when only such songs are wanted.
bool offersSong(const std::filesystem::path& file, const SongFilter& filter, EntryReader& reader);

// The names in a folder, the sub-folders apart from the rest, hidden ones (".name") left
// out. Each part is sorted without regard to ASCII case (then byte by byte): file systems
// here list in no useful order.
struct FolderListing {
  std::vector<std::string> folders, files;
};
FolderListing listFolder(const std::filesystem::path& folder);

struct SearchOptions {
  SongFilter filter;
  bool subFolders = true;
};

// Adds every song of the folder to the list: the folder's own songs in name order, then
// those of each sub-folder in name order, depth first. The folder is named the way the
// list names its entries (absolute, or relative to its base folder beginning with a
// separator). A folder reached twice through links is searched once. Unreadable songs
// go into the progress display; finishing it is the caller's.
OpenResult searchFolder(PlayList& list, const std::string& folder, const SearchOptions& options, EntryReader& reader,
                        AddProgress* progress = nullptr);

// One song file that was found or chosen, read and appended (an archive: its song members);
// an unreadable one is reported.
OpenResult addSong(PlayList& list, const std::string& name, EntryReader& reader, AddProgress* progress);

// The counts and messages of two addings as one.
void mergeResult(OpenResult& into, OpenResult from);

// A name inside a folder named the list's way ("/" joined; the root takes no second one).
std::string joinName(const std::string& folder, const std::string& name);

}  // namespace volta::core
