#pragma once
// The frames that carry remote-control transactions over a byte stream. A frame is a
// 32-bit little-endian payload length, one type byte and the payload. The decoder
// takes the stream in pieces as it arrives and stops for good at the first frame it
// cannot accept, so one broken peer costs only its own connection.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace volta::dde {

enum class FrameType : std::uint8_t {
  // client to player
  Connect = 0x01,  // payload: topic
  Execute = 0x02,  // payload: command text (a terminating zero byte is allowed)
  Request = 0x03,  // payload: item
  // player to client
  Connected = 0x81,     // empty
  Acknowledged = 0x82,  // empty
  NotProcessed = 0x83,  // empty
  Data = 0x84,          // payload: reply text
  NoData = 0x85,        // empty
};

inline constexpr std::size_t kFrameHeaderSize = 5;
inline constexpr std::size_t kMaxPayload = 64 * 1024;

struct Frame {
  FrameType type;
  std::string payload;
  bool operator==(const Frame&) const = default;
};

// The bytes of one frame; none when the payload is over the limit.
std::optional<std::string> encodeFrame(FrameType type, std::string_view payload);

class FrameDecoder {
 public:
  // Takes the next bytes of the stream; false once the stream is broken.
  bool feed(std::string_view bytes);
  // The oldest complete frame not yet taken.
  std::optional<Frame> next();
  bool broken() const { return !error_.empty(); }
  // Why the stream was refused; empty while it is sound.
  const std::string& error() const { return error_; }
  // Bytes received but not yet part of a complete frame.
  std::size_t pending() const { return buffer_.size(); }

 private:
  bool takeFrames();
  bool refuse(const char* why);

  std::string buffer_;
  std::deque<Frame> frames_;
  std::string error_;
};

}  // namespace volta::dde
