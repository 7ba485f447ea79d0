#include "player/core/dde/dde_wire.h"

#include <cstdio>

namespace volta::dde {
namespace {

bool knownType(std::uint8_t type) {
  switch (static_cast<FrameType>(type)) {
    case FrameType::Connect:
    case FrameType::Execute:
    case FrameType::Request:
    case FrameType::Connected:
    case FrameType::Acknowledged:
    case FrameType::NotProcessed:
    case FrameType::Data:
    case FrameType::NoData:
      return true;
  }
  return false;
}

std::uint32_t readLength(std::string_view header) {
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i)
    length = (length << 8) | static_cast<std::uint8_t>(header[static_cast<std::size_t>(i)]);
  return length;
}

}  // namespace

std::optional<std::string> encodeFrame(FrameType type, std::string_view payload) {
  if (payload.size() > kMaxPayload) return std::nullopt;
  std::string frame;
  frame.reserve(kFrameHeaderSize + payload.size());
  for (int i = 0; i < 4; ++i)
    frame.push_back(static_cast<char>((payload.size() >> (8 * i)) & 0xFF));
  frame.push_back(static_cast<char>(type));
  frame.append(payload);
  return frame;
}

bool FrameDecoder::feed(std::string_view bytes) {
  if (broken()) return false;
  buffer_.append(bytes);
  return takeFrames();
}

std::optional<Frame> FrameDecoder::next() {
  if (frames_.empty()) return std::nullopt;
  Frame frame = std::move(frames_.front());
  frames_.pop_front();
  return frame;
}

// Moves every complete frame out of the buffer; a header is judged as soon as it is
// whole, so an oversized frame is refused before its payload is waited for.
bool FrameDecoder::takeFrames() {
  std::size_t at = 0;
  while (buffer_.size() - at >= kFrameHeaderSize) {
    const std::string_view header(buffer_.data() + at, kFrameHeaderSize);
    const std::uint32_t length = readLength(header);
    const auto type = static_cast<std::uint8_t>(header[4]);
    char why[80];
    if (!knownType(type)) {
      std::snprintf(why, sizeof why, "unknown frame type 0x%02X", type);
      return refuse(why);
    }
    if (length > kMaxPayload) {
      std::snprintf(why, sizeof why, "frame of %u bytes is over the limit of %zu", length, kMaxPayload);
      return refuse(why);
    }
    if (buffer_.size() - at - kFrameHeaderSize < length) break;
    frames_.push_back(Frame{static_cast<FrameType>(type), buffer_.substr(at + kFrameHeaderSize, length)});
    at += kFrameHeaderSize + length;
  }
  buffer_.erase(0, at);
  return true;
}

bool FrameDecoder::refuse(const char* why) {
  error_ = why;
  buffer_.clear();
  return false;
}

}  // namespace volta::dde
