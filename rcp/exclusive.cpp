#include "rcp/exclusive.h"

namespace volta::rcp {

ExclusiveBuilder::ExclusiveBuilder(std::uint8_t* buffer, std::size_t limit, std::uint32_t gate, std::uint32_t velocity,
                                   int channel)
    : buffer_(buffer), limit_(limit), gate_(gate), velocity_(velocity), channel_(static_cast<std::uint32_t>(channel)) {
  buffer_[0] = 0xF0;
}

void ExclusiveBuilder::add(std::uint8_t code) {
  switch (code) {
    case 0x80:
      return write(gate_);
    case 0x81:
      return write(velocity_);
    case 0x82:
      return write(channel_);
    case 0x83:
      sum_ = 0;
      return;
    case 0x84:
      return write(rolandChecksum(sum_));
    default:
      return write(code);
  }
}

void ExclusiveBuilder::write(std::uint32_t value) {
  // Status bytes other than the final 0xF7 would break the message apart.
  if (value >= 0x80 && value != 0xF7) return;
  if (full()) return;
  buffer_[length_++] = static_cast<std::uint8_t>(value);
  sum_ += value;
}

void ExclusiveBuilder::terminate() {
  if (endsWithEox()) return;
  if (full()) --length_;
  buffer_[length_++] = 0xF7;
}

}  // namespace volta::rcp
