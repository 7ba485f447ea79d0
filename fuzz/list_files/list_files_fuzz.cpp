// Arbitrary bytes as a list file of either format: the readers must take anything,
// a list read and written again must read back with as many entries, and the list
// window's columns must be made of every entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "player/core/playlist/list_files.h"
#include "player/core/playlist/playlist.h"

namespace {

namespace core = volta::core;

void showColumns(const std::vector<core::MIDIFile>& files) {
  for (const core::MIDIFile& entry : files) {
    if (core::titleColumn(entry, true).empty() ||
        core::fileColumn(entry).size() > entry.fileName.size() + entry.archiveMember.size())
      std::abort();
    (void)core::lengthColumn(entry);
  }
}

void sortEveryWay(const std::vector<core::MIDIFile>& files) {
  core::PlayList list;
  for (const core::MIDIFile& entry : files)
    list.append(entry);
  for (int mode = 0; mode <= 5; ++mode) {
    const int position = list.applyOrder(mode, 0, 1);
    if (!list.empty() && (position < 0 || static_cast<std::size_t>(position) >= list.size())) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto formatB = core::readFormatB(bytes);
  showColumns(formatB);
  const auto formatA = core::readFormatA(bytes);
  if (!formatA) return 0;
  showColumns(*formatA);
  sortEveryWay(*formatA);
  const auto again = core::readFormatA(core::writeFormatA(*formatA, true));
  if (!again || again->size() != formatA->size()) std::abort();
  return 0;
}
