#pragma once
// Drives one output through the command protocol with the trace device on a manual
// clock, and reads back the shared records and the trace lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dispatcher.h"
#include "engine/midi_output.h"
#include "engine/protocol/records.h"
#include "platform/clock.h"
#include "platform/low_memory.h"
#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"
#include "tests/support/test_support.h"

namespace volta::engine::test {

inline constexpr std::uint32_t kTrace = 0;  // the trace device is first in the list
inline constexpr std::uint32_t kNone = platform::midi::kNoDevice;

class OutputTest : public ::testing::Test {
 protected:
  OutputTest() : tracePath_((dir_ / "trace.txt").string()) {
    setenv(platform::midi::kTraceEnvironmentVariable, tracePath_.c_str(), 1);
    platform::installClock(&clock_);
    block_ = platform::allocateLow(protocol::kCommandBlockSize);
  }
  ~OutputTest() override {
    if (handle_) run(protocol::kCloseOutput);
    platform::freeLow(block_);
    platform::installClock(nullptr);
    unsetenv(platform::midi::kTraceEnvironmentVariable);
  }

  template <class Record>
  Record& command() {
    return protocol::commandAs<Record>(block_);
  }

  std::uint32_t run(std::uint32_t code, std::uint32_t handle) {
    command<protocol::CommandHeader>().code = code;
    command<protocol::CommandHeader>().handle = handle;
    return dispatch(block_);
  }
  std::uint32_t run(std::uint32_t code) { return run(code, handle_); }

  // Opens the output and forgets the greeting, so traces start empty.
  void open(std::initializer_list<std::uint32_t> devices = {kTrace, kTrace, kTrace}) {
    std::memset(block_, 0, protocol::kCommandBlockSize);
    auto& open = command<protocol::OpenOutputCommand>();
    open.portCount = static_cast<std::uint16_t>(devices.size());
    for (int i = 0; i < 8; ++i)
      open.devices[i] = kNone;
    int i = 0;
    for (std::uint32_t id : devices)
      open.devices[i++] = id;
    ASSERT_EQ(run(protocol::kOpenOutput, 0), 1u);
    handle_ = open.header.handle;
    shared_ = platform::fromLowAddress<protocol::OutputShared>(open.panel);
    output_ = liveOutputs().find(handle_);
    ASSERT_NE(output_, nullptr);
    consumed_ = traceLines().size();
  }

  protocol::OutputSettings& settings() { return shared_->settings; }
  protocol::OutputStatus& status() { return shared_->status; }
  protocol::ChannelState& channel(int port, int ch) { return shared_->channels[port][ch]; }
  protocol::PanelImage& panel() { return shared_->panel; }
  std::string panelText() { return std::string(panel().text, 16); }

  void filtered(std::uint32_t message, int port = 0) {
    command<protocol::SendShortCommand>().port = static_cast<std::uint16_t>(port);
    command<protocol::SendShortCommand>().message = message;
    ASSERT_EQ(run(protocol::kSendShortFiltered), 1u);
  }
  void queued(std::uint32_t message, int port = 0) {
    command<protocol::SendShortCommand>().port = static_cast<std::uint16_t>(port);
    command<protocol::SendShortCommand>().message = message;
    ASSERT_EQ(run(protocol::kSendShortQueued), 1u);
  }
  void queuedExclusive(const std::vector<std::uint8_t>& bytes, int port = 0) {
    auto& c = command<protocol::SendExclusiveCommand>();
    c.port = static_cast<std::uint16_t>(port);
    c.count = static_cast<std::uint16_t>(bytes.size());
    std::memcpy(static_cast<std::uint8_t*>(block_) + 16, bytes.data(), bytes.size());
    ASSERT_EQ(run(protocol::kSendExclusive), 1u);
  }
  void word(std::uint32_t code, std::uint16_t value) {
    command<protocol::WordCommand>().value = value;
    ASSERT_EQ(run(code), 1u);
  }
  void options(bool midiRate, bool useReset) {
    command<protocol::OutputOptionsCommand>().midiRate = midiRate;
    command<protocol::OutputOptionsCommand>().useReset = useReset;
    ASSERT_EQ(run(protocol::kOutputOptions), 1u);
  }
  void exclusive(const std::vector<std::uint8_t>& bytes, int port = 0) {
    output_->sendExclusive(port, bytes.data(), bytes.size());
  }

  // Trace lines without their timestamps ("A 90 3C 64").
  std::vector<std::string> traceLines() {
    std::vector<std::string> lines;
    std::istringstream in(volta::test::readText(tracePath_));
    for (std::string line; std::getline(in, line);)
      lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
  }
  // The lines written since the last call (or the opening).
  std::vector<std::string> sent() {
    auto lines = traceLines();
    std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(consumed_), lines.end());
    consumed_ = lines.size();
    return fresh;
  }

  volta::test::TempDir dir_;
  std::string tracePath_;
  platform::ManualClock clock_;
  void* block_ = nullptr;
  std::uint32_t handle_ = 0;
  protocol::OutputShared* shared_ = nullptr;
  MidiOutput* output_ = nullptr;
  std::size_t consumed_ = 0;
};

using Lines = std::vector<std::string>;

// A Roland data set: F0 41 10 model 12, the address, the data, the checksum, F7.
inline std::vector<std::uint8_t> dataSet(std::uint8_t model, std::uint32_t address,
                                         const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes(data.size() + 10);
  const std::uint8_t head[] = {
      0xF0, 0x41, 0x10, model, 0x12, std::uint8_t(address >> 16), std::uint8_t(address >> 8), std::uint8_t(address)};
  std::copy(std::begin(head), std::end(head), bytes.begin());
  std::copy(data.begin(), data.end(), bytes.begin() + 8);
  unsigned sum = 0;
  for (std::size_t i = 5; i < bytes.size() - 2; ++i)
    sum += bytes[i];
  bytes[bytes.size() - 2] = static_cast<std::uint8_t>((128 - sum % 128) % 128);
  bytes.back() = 0xF7;
  return bytes;
}

}  // namespace volta::engine::test
