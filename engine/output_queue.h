#pragma once
// One port's output queue: byte-packed entries appended by the senders and drained
// by the flush. Entries: 0xF1 + u32 short message; 0xF0 + u16 count + the exclusive;
// 0xFF alone, a pause of 10 ms. The owner locks around every call.

#include <array>
#include <cstddef>
#include <cstdint>

namespace volta::engine {

class OutputQueue {
 public:
  static constexpr std::size_t kCapacity = 16384;
  static constexpr std::uint8_t kShortTag = 0xF1;
  static constexpr std::uint8_t kExclusiveTag = 0xF0;
  static constexpr std::uint8_t kPauseTag = 0xFF;

  struct Entry {
    std::uint8_t tag;
    std::uint32_t message;      // kShortTag
    const std::uint8_t* bytes;  // kExclusiveTag
    std::size_t count;          // kExclusiveTag
    std::size_t size;           // bytes the entry takes in the queue
  };

  // Each returns false, appending nothing, when the entry does not fit.
  bool pushShort(std::uint32_t message);
  bool pushExclusive(const std::uint8_t* bytes, std::size_t count);
  bool pushPause();

  std::size_t readIndex() const { return read_; }
  std::size_t writeIndex() const { return write_; }
  bool empty() const { return read_ == write_; }
  // The entry at an index between readIndex and writeIndex. The bytes there are not
  // touched by appends, so it may be read without the lock.
  Entry entryAt(std::size_t index) const;
  // Marks everything before index as sent; a drained queue starts again at 0.
  void consumeTo(std::size_t index);
  void clear() { read_ = write_ = 0; }

 private:
  bool fits(std::size_t size) const { return kCapacity - write_ >= size; }
  void put(const void* bytes, std::size_t count);

  std::array<std::uint8_t, kCapacity> bytes_{};
  std::size_t read_ = 0;
  std::size_t write_ = 0;
};

}  // namespace volta::engine
