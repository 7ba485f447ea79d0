#pragma once
// The folder browser of the list editing dialog: where it stands, what it offers there
// (the way up, sub-folders, places to jump to, and songs) and where choosing an item
// leads. A relative list's browser stands inside the list's base folder and never
// leaves it; its current folder is named relative to the base, beginning with "/".

#include <filesystem>
#include <string>
#include <vector>

#include "player/core/listedit/file_search.h"
#include "player/core/playlist/list_opening.h"

namespace volta::core {

struct BrowserItem {
  enum class Kind { kUp, kFolder, kPlace, kFile };
  Kind kind;
  std::string name;  // a folder's or file's name; a place's absolute path

  // As the files list shows it: " [ Up ]", " [name]", " [ -place- ]" or the file's name.
  std::string label() const;
  bool operator==(const BrowserItem&) const = default;
};

class FolderBrowser {
 public:
  // With a base folder the browser starts there; without one (an absolute list) it starts
  // at startFolder and offers the places (such as the root and the home folder) to jump to.
  FolderBrowser(std::string baseFolder, const std::string& startFolder, std::vector<std::string> places);

  bool relative() const { return !base_.empty(); }
  const std::string& baseFolder() const { return base_; }
  // "/" or "/sub/deeper" below the base folder; an absolute path for an absolute list.
  const std::string& currentFolder() const { return current_; }
  std::filesystem::path currentPath() const;

  // The files list: the way up (not at the top of a relative list), the sub-folders, the
  // places (absolute lists only), then the songs grouped by kind of file, each group in
  // name order.
  std::vector<BrowserItem> items(const SongFilter& filter, EntryReader& reader) const;
  // Goes up, into a sub-folder or to a place; false (staying) for a way up that is not offered.
  bool choose(const BrowserItem& item);
  // Goes to an absolute folder; false (staying) when it is no folder, or lies outside a
  // relative list's base folder.
  bool goTo(const std::filesystem::path& folder);
  // A file of the current folder as the list names it.
  std::string entryName(const std::string& fileName) const;

 private:
  bool atTop() const;

  std::string base_;
  std::string current_;
  std::vector<std::string> places_;
};

}  // namespace volta::core
