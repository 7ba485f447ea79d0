// The frame decoder on any byte stream, fed in pieces whose sizes the input chooses:
// every frame it returns must be exactly the bytes it consumed, and it must never hold
// more than one frame's worth of unfinished bytes beyond what it was just given.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "player/core/dde/dde_wire.h"

using volta::dde::encodeFrame;
using volta::dde::FrameDecoder;
using volta::dde::kFrameHeaderSize;
using volta::dde::kMaxPayload;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
  FrameDecoder decoder;
  std::string rebuilt;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    const bool sound = decoder.feed(stream.substr(at, piece));
    if (sound != !decoder.broken()) std::abort();
    if (decoder.pending() >= kFrameHeaderSize + kMaxPayload) std::abort();
    while (auto frame = decoder.next())
      rebuilt += encodeFrame(frame->type, frame->payload).value();
    if (!sound) break;
  }
  if (stream.substr(0, rebuilt.size()) != rebuilt) std::abort();
  if (!decoder.broken() && rebuilt.size() + decoder.pending() != stream.size()) std::abort();
  return 0;
}
