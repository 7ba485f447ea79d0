// Byte streams of any shape, fed in pieces of any size: every message handed on must
// be well formed, and no data byte may be invented or lost inside an exclusive.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/midi/message_assembler.h"

namespace {

using volta::platform::midi::AssembledMessage;
using volta::platform::midi::MessageAssembler;
using volta::platform::midi::shortMessageLength;

constexpr std::size_t kLimit = 16;

void check(const AssembledMessage& m, bool& inExclusive) {
  if (m.count == 0) std::abort();
  const std::uint8_t first = m.bytes[0];
  if (first >= 0xF8) {
    if (m.count != 1 || !m.complete) std::abort();
    return;
  }
  if (inExclusive || first == 0xF0) {
    if (m.count > kLimit) std::abort();
    for (std::size_t i = 1; i + 1 < m.count; ++i) {
      if (m.bytes[i] >= 0x80) std::abort();
    }
    if (m.complete != (m.bytes[m.count - 1] == 0xF7)) std::abort();
    inExclusive = !m.complete;
    return;
  }
  if (first < 0x80 || first == 0xF7 || m.count != shortMessageLength(first) || !m.complete) std::abort();
  for (std::size_t i = 1; i < m.count; ++i) {
    if (m.bytes[i] >= 0x80) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  bool inExclusive = false;
  MessageAssembler assembler(kLimit, [&](const AssembledMessage& m) { check(m, inExclusive); });
  // The first byte chooses the piece size, as ports are fed whole messages or single bytes.
  const std::size_t piece = data[0] % 8 + 1;
  for (std::size_t at = 1; at < size; at += piece)
    assembler.feed(data + at, std::min(piece, size - at));
  return 0;
}
