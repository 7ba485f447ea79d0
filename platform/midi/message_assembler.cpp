#include "platform/midi/message_assembler.h"

namespace volta::platform::midi {

std::size_t shortMessageLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 2;
    case 0xF0:
      return status == 0xF2 ? 3 : (status == 0xF1 || status == 0xF3) ? 2 : 1;
    default:
      return 3;
  }
}

ShortMessage unpackShortMessage(std::uint32_t message) {
  const auto status = static_cast<std::uint8_t>(message);
  return {{status, static_cast<std::uint8_t>(message >> 8), static_cast<std::uint8_t>(message >> 16)},
          shortMessageLength(status)};
}

MessageAssembler::MessageAssembler(std::size_t exclusiveLimit, Sink sink)
    : exclusiveLimit_(exclusiveLimit < 2 ? 2 : exclusiveLimit), sink_(std::move(sink)) {
  message_.reserve(exclusiveLimit_ < 256 ? exclusiveLimit_ : 256);
}

void MessageAssembler::feed(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    feedByte(bytes[i]);
}

void MessageAssembler::clear() {
  message_.clear();
  expected_ = 0;
  inExclusive_ = false;
  runningStatus_ = 0;
}

void MessageAssembler::feedByte(std::uint8_t byte) {
  if (byte >= 0xF8) return emitSingle(byte);
  if (inExclusive_) {
    if (byte < 0x80 || byte == 0xF7) {
      message_.push_back(byte);
      if (byte == 0xF7) return emit(true);
      if (message_.size() >= exclusiveLimit_) emit(false);
      return;
    }
    message_.push_back(0xF7);  // a status ends an unterminated exclusive
    emit(true);
  }
  if (byte >= 0x80) return startMessage(byte);
  if (message_.empty()) {
    if (runningStatus_ == 0) return;  // a data byte without a status
    message_.push_back(runningStatus_);
    expected_ = shortMessageLength(runningStatus_);
  }
  message_.push_back(byte);
  if (message_.size() == expected_) emit(true);
}

void MessageAssembler::startMessage(std::uint8_t status) {
  message_.clear();
  expected_ = 0;
  if (status == 0xF0) {
    inExclusive_ = true;
    runningStatus_ = 0;
    message_.push_back(status);
    return;
  }
  if (status == 0xF7) return;  // an end without a beginning
  runningStatus_ = status < 0xF0 ? status : 0;
  message_.push_back(status);
  expected_ = shortMessageLength(status);
  if (expected_ == 1) emit(true);
}

void MessageAssembler::emit(bool complete) {
  if (complete) inExclusive_ = false;
  sink_({message_.data(), message_.size(), complete});
  message_.clear();
  expected_ = 0;
}

void MessageAssembler::emitSingle(std::uint8_t byte) {
  sink_({&byte, 1, true});
}

}  // namespace volta::platform::midi
