#pragma once
// Builds exclusive messages from template bytes with the substitution codes of the
// song files: 0x80 gate, 0x81 velocity, 0x82 channel, 0x83 checksum start, 0x84 checksum.

#include <cstddef>
#include <cstdint>

namespace volta::rcp {

class ExclusiveBuilder {
 public:
  // The message starts with 0xF0; at most `limit` bytes are kept in `buffer`.
  ExclusiveBuilder(std::uint8_t* buffer, std::size_t limit, std::uint32_t gate, std::uint32_t velocity, int channel);

  // Passes one template byte through the substitutions.
  void add(std::uint8_t code);
  bool full() const { return length_ >= limit_; }
  bool endsWithEox() const { return length_ > 1 && buffer_[length_ - 1] == 0xF7; }
  // Appends 0xF7 when the message does not end with one yet (and there is room).
  void terminate();

  const std::uint8_t* data() const { return buffer_; }
  std::size_t length() const { return length_; }

 private:
  void write(std::uint32_t value);

  std::uint8_t* buffer_;
  std::size_t limit_;
  std::size_t length_ = 1;
  std::uint32_t gate_;
  std::uint32_t velocity_;
  std::uint32_t channel_;
  std::uint32_t sum_ = 0;
};

// (128 - (sum mod 128)) mod 128: the Roland checksum.
inline std::uint8_t rolandChecksum(std::uint32_t sum) {
  return static_cast<std::uint8_t>((128 - sum % 128) % 128);
}

}  // namespace volta::rcp
