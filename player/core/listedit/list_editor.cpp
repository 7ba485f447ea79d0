#include "player/core/listedit/list_editor.h"

#include <algorithm>
#include <iterator>

namespace volta::core {

ListEditor::ListEditor(const PlayList& list) : entries_(list.files), base_(list.baseFolder) {}

template <typename Adding>
OpenResult ListEditor::insert(std::size_t before, AddProgress* progress, Adding adding) {
  PlayList added;
  added.baseFolder = base_;
  OpenResult result = adding(added);
  const auto at = entries_.begin() + static_cast<std::ptrdiff_t>(std::min(before, entries_.size()));
  entries_.insert(at, std::make_move_iterator(added.files.begin()), std::make_move_iterator(added.files.end()));
  if (progress) progress->finish(std::string(kProgressFinished));
  return result;
}

OpenResult ListEditor::add(const FolderBrowser& browser, const std::vector<std::string>& fileNames, std::size_t before,
                           EntryReader& reader, AddProgress* progress) {
  return insert(before, progress, [&](PlayList& added) {
    OpenResult result;
    if (progress) progress->showSource(browser.currentPath().string());
    for (const std::string& file : fileNames) {
      mergeResult(result, addSong(added, browser.entryName(file), reader, progress));
    }
    return result;
  });
}

OpenResult ListEditor::addAll(const FolderBrowser& browser, const SearchOptions& options, EntryReader& reader,
                              AddProgress* progress) {
  return insert(entries_.size(), progress, [&](PlayList& added) {
    return searchFolder(added, browser.currentFolder(), options, reader, progress);
  });
}

std::size_t ListEditor::moveUp(std::size_t row) {
  if (row == 0 || row >= entries_.size()) return row;
  std::swap(entries_[row - 1], entries_[row]);
  return row - 1;
}

std::size_t ListEditor::moveDown(std::size_t row) {
  if (row + 1 >= entries_.size()) return row;
  std::swap(entries_[row], entries_[row + 1]);
  return row + 1;
}

void ListEditor::remove(const std::vector<std::size_t>& rows) {
  std::vector<bool> gone(entries_.size(), false);
  for (const std::size_t row : rows) {
    if (row < gone.size()) gone[row] = true;
  }
  std::vector<MIDIFile> kept;
  for (std::size_t row = 0; row < entries_.size(); ++row) {
    if (!gone[row]) kept.push_back(std::move(entries_[row]));
  }
  entries_ = std::move(kept);
}

}  // namespace volta::core
