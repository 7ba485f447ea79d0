#include "engine/output_queue.h"

#include <cstring>

namespace volta::engine {

bool OutputQueue::pushShort(std::uint32_t message) {
  if (!fits(5)) return false;
  put(&kShortTag, 1);
  const std::uint8_t little[4] = {static_cast<std::uint8_t>(message), static_cast<std::uint8_t>(message >> 8),
                                  static_cast<std::uint8_t>(message >> 16), static_cast<std::uint8_t>(message >> 24)};
  put(little, 4);
  return true;
}

bool OutputQueue::pushExclusive(const std::uint8_t* bytes, std::size_t count) {
  if (count > 0xFFFF || !fits(count + 3)) return false;
  put(&kExclusiveTag, 1);
  const std::uint8_t little[2] = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
  put(little, 2);
  put(bytes, count);
  return true;
}

bool OutputQueue::pushPause() {
  if (!fits(1)) return false;
  put(&kPauseTag, 1);
  return true;
}

OutputQueue::Entry OutputQueue::entryAt(std::size_t index) const {
  const std::uint8_t* at = bytes_.data() + index;
  Entry entry{at[0], 0, nullptr, 0, 1};
  if (entry.tag == kShortTag) {
    entry.message = at[1] | at[2] << 8 | at[3] << 16 | static_cast<std::uint32_t>(at[4]) << 24;
    entry.size = 5;
  } else if (entry.tag == kExclusiveTag) {
    entry.count = at[1] | at[2] << 8;
    entry.bytes = at + 3;
    entry.size = entry.count + 3;
  }
  return entry;
}

void OutputQueue::consumeTo(std::size_t index) {
  read_ = index;
  if (read_ == write_) clear();
}

void OutputQueue::put(const void* bytes, std::size_t count) {
  if (count != 0) std::memcpy(bytes_.data() + write_, bytes, count);
  write_ += count;
}

}  // namespace volta::engine
