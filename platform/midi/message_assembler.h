#pragma once
// Groups a byte stream into whole MIDI messages. Ports may be fed one byte at a time
// (a template's message text goes out byte by byte), while the sinks behind them,
// a synthesizer or a JACK port, need each message whole.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/midi/output_device.h"

namespace volta::platform::midi {

// Bytes of a channel or system message with this status (1 for unknown ones).
std::size_t shortMessageLength(std::uint8_t status);

// A channel message packed as status | data1 << 8 | data2 << 16, unpacked into the
// bytes it uses.
struct ShortMessage {
  std::uint8_t bytes[3];
  std::size_t count;
};
ShortMessage unpackShortMessage(std::uint32_t message);

// A message handed on by the assembler. An exclusive longer than the assembler's
// limit comes in pieces: every piece but the last has complete == false.
struct AssembledMessage {
  const std::uint8_t* bytes;
  std::size_t count;
  bool complete;
};

class MessageAssembler {
 public:
  using Sink = std::function<void(const AssembledMessage&)>;

  // exclusiveLimit: the largest piece of an exclusive handed on at once (>= 2).
  MessageAssembler(std::size_t exclusiveLimit, Sink sink);

  // Feeds bytes; every message they complete goes to the sink at once, in order.
  // Running status is honoured; data bytes without a status are dropped; a status
  // byte inside an exclusive ends it (an F7 is supplied); real-time bytes pass at
  // once without disturbing the message they interrupt.
  void feed(const std::uint8_t* bytes, std::size_t count);
  // Drops a partial message and the running status.
  void clear();

 private:
  void feedByte(std::uint8_t byte);
  void startMessage(std::uint8_t status);
  void emit(bool complete);
  void emitSingle(std::uint8_t byte);

  std::size_t exclusiveLimit_;
  Sink sink_;
  std::vector<std::uint8_t> message_;
  std::size_t expected_ = 0;  // bytes of the message under way; 0 = none or an exclusive
  bool inExclusive_ = false;
  std::uint8_t runningStatus_ = 0;
};

// An output device whose sink takes whole messages: what is sent is assembled, under
// the device's lock, and handed on message by message.
class AssemblingOutputDevice : public OutputDevice {
 public:
  SendResult sendShort(std::uint32_t message) override {
    const ShortMessage unpacked = unpackShortMessage(message);
    return sendLong(unpacked.bytes, unpacked.count);
  }
  SendResult sendLong(const std::uint8_t* bytes, std::size_t count) override {
    std::lock_guard lock(mutex_);
    return feed(bytes, count);
  }
  // Drops a partial message, then resets the device itself.
  void reset() override {
    std::lock_guard lock(mutex_);
    assembler_.clear();
    resetDevice();
  }

 protected:
  AssemblingOutputDevice(std::size_t exclusiveLimit, MessageAssembler::Sink sink)
      : assembler_(exclusiveLimit, std::move(sink)) {}
  // Called under the lock.
  virtual SendResult feed(const std::uint8_t* bytes, std::size_t count) {
    assembler_.feed(bytes, count);
    return SendResult::Ok;
  }
  virtual void resetDevice() = 0;

  MessageAssembler assembler_;

 private:
  std::mutex mutex_;
};

}  // namespace volta::platform::midi
