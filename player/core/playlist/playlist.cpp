#include "player/core/playlist/playlist.h"

#include <cstdlib>
#include <numeric>
#include <string_view>

#include "player/core/app/command_ids.h"

namespace volta::core {

namespace {

using Order = std::vector<std::uint32_t>;

// Whether a entry goes before b. Keys compare byte by byte, case-sensitive.
struct KeyOrder {
  const std::vector<MIDIFile>& files;
  std::string MIDIFile::*key;
  bool descending;
  bool operator()(std::uint32_t a, std::uint32_t b) const {
    const std::string& left = files[a].*key;
    const std::string& right = files[b].*key;
    return descending ? right < left : left < right;
  }
};

// The list's quicksort: the middle element becomes the pivot at the left end, elements
// before it are gathered behind it. The smaller side recurses and the larger one loops,
// so long runs of equal keys cannot exhaust the stack.
void quickSort(Order& order, std::ptrdiff_t left, std::ptrdiff_t right, const KeyOrder& before) {
  while (left < right) {
    std::swap(order[left], order[(left + right) / 2]);
    std::ptrdiff_t last = left;
    for (std::ptrdiff_t i = left + 1; i <= right; ++i) {
      if (before(order[i], order[left])) std::swap(order[++last], order[i]);
    }
    std::swap(order[left], order[last]);
    if (last - left < right - last) {
      quickSort(order, left, last - 1, before);
      left = last + 1;
    } else {
      quickSort(order, last + 1, right, before);
      right = last - 1;
    }
  }
}

// Each position draws indices until one not yet taken comes up.
void shuffle(Order& order, unsigned seed) {
  const std::size_t n = order.size();
  std::srand(seed);
  std::vector<bool> used(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j;
    do {
      j = static_cast<std::size_t>(std::rand()) % n;
    } while (used[j]);
    used[j] = true;
    order[i] = static_cast<std::uint32_t>(j);
  }
}

void sortBy(Order& order, const std::vector<MIDIFile>& files, std::string MIDIFile::*key, bool descending) {
  if (order.empty()) return;
  quickSort(order, 0, static_cast<std::ptrdiff_t>(order.size()) - 1, KeyOrder{files, key, descending});
}

// The next mode of a command that steps first to first, then to second, then back to the order of adding.
int cycle(int sortMode, int first, int second) {
  if (sortMode == first) return second;
  if (sortMode == second) return kOrderAdded;
  return first;
}

}  // namespace

void PlayList::append(MIDIFile entry) {
  order.push_back(static_cast<std::uint32_t>(files.size()));
  files.push_back(std::move(entry));
}

void PlayList::clear() {
  files.clear();
  order.clear();
  listFileName.clear();
  baseFolder.clear();
  listNamed = listModified = false;
}

int PlayList::applyOrder(int sortMode, int position, unsigned seed) {
  const bool hadCurrent = position >= 0 && static_cast<std::size_t>(position) < order.size();
  const std::uint32_t current = hadCurrent ? order[static_cast<std::size_t>(position)] : 0;
  order.resize(files.size());
  std::iota(order.begin(), order.end(), 0u);
  switch (sortMode) {
    case kOrderRandom:
      shuffle(order, seed);
      break;
    case kOrderFileName:
    case kOrderFileNameReverse:
      sortBy(order, files, &MIDIFile::fileName, sortMode == kOrderFileNameReverse);
      break;
    case kOrderTitle:
    case kOrderTitleReverse:
      sortBy(order, files, &MIDIFile::title, sortMode == kOrderTitleReverse);
      break;
    default:
      break;
  }
  if (!hadCurrent) return 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == current) return static_cast<int>(i);
  }
  return 0;
}

std::pair<std::string, std::string> PlayList::columnHeaders(int sortMode) {
  switch (sortMode) {
    case kOrderAdded:
      return {"Title", "File name"};
    case kOrderRandom:
      return {"Title (Random order)", "File name"};
    case kOrderFileName:
      return {"Title", "File name (alphabetic)"};
    case kOrderFileNameReverse:
      return {"Title", "File name (reverse)"};
    case kOrderTitle:
      return {"Title (alphabetic)", "File name"};
    case kOrderTitleReverse:
      return {"Title (reverse)", "File name"};
    default:
      return {"Internal ERROR!!", "Internal ERROR!!"};
  }
}

int PlayList::nextSortMode(int command, int sortMode) {
  switch (command) {
    case app::cmd::kOrderNormal:
      return kOrderAdded;
    case app::cmd::kOrderRandom:
      return kOrderRandom;
    case app::cmd::kOrderFileName:
      return cycle(sortMode, kOrderFileName, kOrderFileNameReverse);
    case app::cmd::kOrderTitle:
      return cycle(sortMode, kOrderTitle, kOrderTitleReverse);
    default:
      return sortMode;
  }
}

}  // namespace volta::core
