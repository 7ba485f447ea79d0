#pragma once
// The play list: the entries in the order they were added, and the play order
// that indexes them.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "player/core/midi_file.h"

namespace volta::core {

// Play orders.
inline constexpr int kOrderAdded = 0;
inline constexpr int kOrderRandom = 1;
inline constexpr int kOrderFileName = 2;
inline constexpr int kOrderFileNameReverse = 3;
inline constexpr int kOrderTitle = 4;
inline constexpr int kOrderTitleReverse = 5;

class PlayList {
 public:
  std::vector<MIDIFile> files;       // in the order of adding (the order of the list file)
  std::vector<std::uint32_t> order;  // order[position] is the index into files played there
  std::string listFileName, baseFolder;
  bool listNamed = false, listModified = false;

  std::size_t size() const { return order.size(); }
  bool empty() const { return order.empty(); }
  // The entry played at a position; the position must be below size().
  const MIDIFile& entryAt(std::size_t position) const { return files[order[position]]; }
  MIDIFile& entryAt(std::size_t position) { return files[order[position]]; }
  std::filesystem::path fullPathAt(std::size_t position) const { return fullPath(baseFolder, entryAt(position)); }

  // Appends an entry, played last until the next applyOrder.
  void append(MIDIFile entry);
  // Empty, unnamed, without file name or base folder.
  void clear();

  // Rebuilds the order for a play order (a random one is shuffled anew from the seed)
  // and returns the new position of the entry that was at the position (0 when there was none).
  int applyOrder(int sortMode, int position, unsigned seed);

  // The Title and File name column headers of a play order.
  static std::pair<std::string, std::string> columnHeaders(int sortMode);
  // The play order after a play-order command.
  static int nextSortMode(int command, int sortMode);
};

}  // namespace volta::core
