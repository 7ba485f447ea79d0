#pragma once
// The list editing dialog's copy of the play list: songs of the browser's folder added
// or inserted, the folder's whole tree searched, rows moved and removed. The play list
// itself changes only when the caller takes the entries (the dialog's OK).

#include <cstddef>
#include <string>
#include <vector>

#include "player/core/listedit/file_search.h"
#include "player/core/listedit/folder_browser.h"
#include "player/core/midi_file.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/playlist.h"

namespace volta::core {

class ListEditor {
 public:
  // A copy of the list's entries in the order of adding, with its base folder.
  explicit ListEditor(const PlayList& list);

  const std::vector<MIDIFile>& entries() const { return entries_; }
  const std::string& baseFolder() const { return base_; }

  // Files of the browser's current folder, read and put before the row (at the end when
  // the row is past it). Unreadable songs are not added; the progress display, when
  // there is one, gets their messages and is finished.
  OpenResult add(const FolderBrowser& browser, const std::vector<std::string>& fileNames, std::size_t before,
                 EntryReader& reader, AddProgress* progress = nullptr);
  // Every song of the browser's current folder (and its sub-folders), appended in the
  // order the search finds them.
  OpenResult addAll(const FolderBrowser& browser, const SearchOptions& options, EntryReader& reader,
                    AddProgress* progress = nullptr);

  // A row moved by one; the row it is in afterwards (the same when it cannot move).
  std::size_t moveUp(std::size_t row);
  std::size_t moveDown(std::size_t row);
  // Rows past the end are ignored.
  void remove(const std::vector<std::size_t>& rows);
  void removeAll() { entries_.clear(); }

 private:
  // Entries added to a list of their own, then spliced in before the row.
  template <typename Adding>
  OpenResult insert(std::size_t before, AddProgress* progress, Adding adding);

  std::vector<MIDIFile> entries_;
  std::string base_;
};

}  // namespace volta::core
