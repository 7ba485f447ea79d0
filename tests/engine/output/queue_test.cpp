// Queues, pacing, pauses, port resets, handles and ports that are not there.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "tests/engine/output/output_fixture.h"

namespace volta::engine::test {
namespace {

using platform::midi::SendResult;

std::uint32_t msg(int status, int d1, int d2 = 0) {
  return status | d1 << 8 | d2 << 16;
}

// A device that answers "not ready" to the next `refusals` exclusives.
struct BusyDevice final : platform::midi::OutputDevice {
  static inline int refusals = 0;
  static inline std::vector<std::size_t> accepted;
  SendResult sendShort(std::uint32_t) override { return SendResult::Ok; }
  SendResult sendLong(const std::uint8_t*, std::size_t count) override {
    if (refusals > 0) {
      --refusals;
      return SendResult::NotReady;
    }
    accepted.push_back(count);
    return SendResult::Ok;
  }
  void reset() override {}
};

struct BusyBackend final : platform::midi::OutputBackend {
  void enumerate(std::vector<platform::midi::OutputDeviceEntry>& list) override {
    list.push_back(
        {"Busy", platform::midi::DeviceKind::SoftwareSynth, [](int) { return std::make_unique<BusyDevice>(); }});
  }
};

std::uint32_t busyDevice() {
  static const bool registered = (platform::midi::registerOutputBackend(std::make_shared<BusyBackend>()), true);
  (void)registered;
  return platform::midi::findOutputDevice("Busy");
}

class QueueTest : public OutputTest {
 protected:
  void pause(int port) {
    command<protocol::PortCommand>().port = static_cast<std::uint16_t>(port);
    ASSERT_EQ(run(protocol::kQueuePause), 1u);
  }
  void resetPort(int port, int mode) {
    command<protocol::ResetPortCommand>().port = static_cast<std::uint16_t>(port);
    command<protocol::ResetPortCommand>().mode = static_cast<std::uint16_t>(mode);
    ASSERT_EQ(run(protocol::kResetPort), 1u);
  }
};

TEST_F(QueueTest, QueuedMessagesWaitForTheFlush) {
  open();
  queued(msg(0x90, 60, 1), 2);
  queuedExclusive({0xF0, 0x01, 0xF7}, 1);
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(status().outputPending, 1);
  ASSERT_EQ(run(protocol::kFlush), 1u);
  EXPECT_EQ(sent(), (Lines{"B F0 01 F7", "C 90 3C 01"}));
  EXPECT_EQ(status().outputPending, 0);
  EXPECT_FALSE(output_->pending());
}

TEST_F(QueueTest, PacedExclusiveIsRepaidAsDebt) {
  open({kTrace});
  options(true, false);
  std::vector<std::uint8_t> big(200, 0x11);
  big.front() = 0xF0;
  big.back() = 0xF7;
  queuedExclusive(big);
  filtered(msg(0x90, 60, 100));  // pacing queues the filter path too
  EXPECT_TRUE(sent().empty());
  // The timer's periods: 5 ms each. The exclusive goes whole, 185 bytes over the
  // budget of 15, and the 185 bytes are repaid before the port sends again.
  const auto period = [&] {
    clock_.advanceMilliseconds(5);
    output_->flush(5);
  };
  // Sent in the first period, repaid over the next 13.
  for (int i = 0; i < 14; ++i) {
    period();
  }
  EXPECT_TRUE(output_->pending());
  period();
  const std::string trace = volta::test::readText(tracePath_);
  EXPECT_NE(trace.find("\n5000 A F0 11 11"), std::string::npos);
  EXPECT_NE(trace.find("\n75000 A 90 3C 64\n"), std::string::npos) << trace.substr(trace.rfind('\n', trace.size() - 2));
  EXPECT_EQ(sent().size(), 2u);
  EXPECT_FALSE(output_->pending());
}

TEST_F(QueueTest, AppendsDuringAFlushAreNeitherLostNorRepeated) {
  open({kTrace});
  constexpr int kMessages = 2000;
  std::atomic<bool> done{false};
  std::thread player([&] {
    for (int i = 0; i < kMessages; ++i)
      output_->queueShort(0, msg(0xB0, i % 128, i / 128));
    done = true;
  });
  while (!done)
    output_->flush(0);
  player.join();
  output_->flush(0);
  const Lines lines = traceLines();
  ASSERT_EQ(lines.size(), kMessages + 1u);  // with the greeting
  for (int i = 0; i < kMessages; ++i) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "A B0 %02X %02X", i % 128, i / 128);
    ASSERT_EQ(lines[i + 1], expected) << "message " << i;
  }
}

TEST_F(QueueTest, PauseHoldsAllQueuesFor10ms) {
  open({kTrace, kTrace});
  queued(msg(0xB0, 7, 1));
  pause(0);
  queued(msg(0xB0, 7, 2));
  queued(msg(0xB1, 7, 3), 1);
  output_->flush(0);
  EXPECT_EQ(sent(), Lines{"A B0 07 01"});  // port B waits behind A's pause
  EXPECT_TRUE(output_->pending());
  output_->flush(5);
  EXPECT_TRUE(sent().empty());
  output_->flush(5);
  EXPECT_EQ(sent(), (Lines{"A B0 07 02", "B B1 07 03"}));

  pause(0);
  queued(msg(0xB0, 7, 4));
  output_->flush(0);  // stops at the pause ...
  EXPECT_TRUE(sent().empty());
  output_->flush(0);  // ... which the next unpaced flush ends
  EXPECT_EQ(sent(), Lines{"A B0 07 04"});
}

TEST_F(QueueTest, PortResetToTheMT32Layout) {
  open({kTrace});
  resetPort(0, 2);
  EXPECT_TRUE(sent().empty());
  run(protocol::kFlush);
  const Lines lines = sent();
  ASSERT_EQ(lines.size(), 9u * 24 + 7u * 23);
  const Lines first(lines.begin(), lines.begin() + 24);
  EXPECT_EQ(first, (Lines{"A B0 78 00", "A B0 79 00", "A B0 65 00", "A B0 64 00", "A B0 06 0C", "A B0 65 00",
                          "A B0 64 01", "A B0 06 40", "A B0 26 00", "A B0 65 00", "A B0 64 02", "A B0 06 40",
                          "A B0 26 00", "A B0 64 7F", "A B0 65 7F", "A B0 01 00", "A B0 5D 00", "A B0 5B 40",
                          "A B0 07 64", "A B0 0B 7F", "A E0 00 40", "A B0 0A 40", "A B0 00 7F", "A C0 00"}));
  const auto tail = [&](int skip) { return Lines(lines.begin() + skip, lines.begin() + skip + 2); };
  EXPECT_EQ(tail(24 + 21), (Lines{"A B1 0A 36", "A B1 00 7F"}));   // pan 64 - 10
  EXPECT_EQ(tail(9 * 24 + 21), (Lines{"A B9 0A 40", "A C9 7F"}));  // rhythm part: bank recorded only
  EXPECT_EQ(tail(9 * 24 + 23 + 21), (Lines{"A BA 0A 40", "A CA 1B"}));
  EXPECT_EQ(channel(0, 10).bankMSB, 126);
  EXPECT_EQ(channel(0, 9).bankMSB, 127);
}

TEST_F(QueueTest, PlainPortReset) {
  open({kTrace});
  resetPort(0, 0);
  run(protocol::kFlush);
  const Lines lines = sent();
  ASSERT_EQ(lines.size(), 16u * 24);
  EXPECT_EQ(lines[4], "A B0 06 02");
  EXPECT_EQ(lines[17], "A B0 5B 00");
  EXPECT_EQ(Lines(lines.begin() + 21, lines.begin() + 24), (Lines{"A B0 0A 40", "A B0 20 00", "A B0 00 00"}));
}

TEST_F(QueueTest, HandlesMustNameALiveOutput) {
  open({kTrace});
  command<protocol::MuteMaskCommand>().mask = 0;
  EXPECT_EQ(run(protocol::kMuteMask, 0), 0u);
  EXPECT_EQ(run(protocol::kMuteMask, handle_ + 16), 0u);
  EXPECT_EQ(run(71), 0u);
  EXPECT_EQ(run(protocol::kMuteMask), 1u);
  const std::uint32_t old = handle_;
  EXPECT_EQ(run(protocol::kCloseOutput), 1u);
  handle_ = 0;
  EXPECT_EQ(run(protocol::kMuteMask, old), 0u);
  EXPECT_EQ(run(protocol::kFlush, old), 0u);
  EXPECT_EQ(run(protocol::kCloseOutput, old), 0u);
}

TEST_F(QueueTest, PortsThatDoNotOpenStayClosedAndDropMessages) {
  open({kTrace, 57});
  EXPECT_EQ(status().portOpen[0], 1);
  EXPECT_EQ(status().portOpen[1], 0);
  EXPECT_EQ(status().portOpen[2], 0);
  filtered(msg(0x90, 60, 100), 1);
  queued(msg(0x90, 60, 100), 1);
  queuedExclusive({0xF0, 0xF7}, 2);
  run(protocol::kFlush);
  filtered(msg(0x90, 61, 100), 0);
  EXPECT_EQ(sent(), Lines{"A 90 3D 64"});
  EXPECT_EQ(+channel(1, 0).noteOnCounter, 1);  // the state still follows
}

TEST_F(QueueTest, OnlyTheCountedPortsOpen) {
  auto& c = command<protocol::OpenOutputCommand>();
  c.portCount = 1;
  for (int i = 0; i < 8; ++i)
    c.devices[i] = kTrace;
  ASSERT_EQ(run(protocol::kOpenOutput, 0), 1u);
  handle_ = c.header.handle;
  const auto* status = platform::fromLowAddress<protocol::OutputStatus>(c.status);
  EXPECT_EQ(status->portOpen[0], 1);
  EXPECT_EQ(status->portOpen[1] + status->portOpen[2], 0);
}

TEST_F(QueueTest, OversizedExclusiveCountIsCutAtTheBlockEnd) {
  open({kTrace});
  command<protocol::SendExclusiveCommand>().port = 0;
  command<protocol::SendExclusiveCommand>().count = 0xFFFF;
  ASSERT_EQ(run(protocol::kSendExclusive), 1u);
  run(protocol::kFlush);
  const Lines lines = sent();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), 1 + 3 * (protocol::kCommandBlockSize - 16));
}

TEST_F(QueueTest, NotReadyExclusiveStaysQueuedUntilAccepted) {
  open({kTrace, busyDevice()});
  BusyDevice::accepted.clear();
  BusyDevice::refusals = 2;
  queuedExclusive({0xF0, 0x01, 0x02, 0xF7}, 1);
  queued(msg(0x90, 60, 100), 0);
  output_->flush(0);
  EXPECT_EQ(sent(), Lines{"A 90 3C 64"});
  EXPECT_TRUE(BusyDevice::accepted.empty());
  EXPECT_TRUE(output_->pending());
  output_->flush(0);
  output_->flush(0);
  EXPECT_EQ(BusyDevice::accepted, std::vector<std::size_t>{4});
  EXPECT_FALSE(output_->pending());

  BusyDevice::refusals = 1;  // a direct send is not retried
  exclusive({0xF0, 0x02, 0xF7}, 1);
  output_->flush(0);
  EXPECT_EQ(BusyDevice::accepted.size(), 1u);
}

TEST_F(QueueTest, UseResetResetsTheDevicesAndCloseSilences) {
  open({kTrace, kTrace});
  options(false, true);
  output_->reset();
  EXPECT_EQ(sent(), (Lines{"A RESET", "B RESET"}));
  filtered(msg(0x90, 60, 100));
  sent();
  ASSERT_EQ(run(protocol::kCloseOutput), 1u);
  handle_ = 0;
  const Lines lines = sent();
  ASSERT_EQ(lines.size(), 2u * 16 * 3 + 2);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3), (Lines{"A B0 78 00", "A B0 7B 00", "A B0 7C 00"}));
  EXPECT_EQ(lines.back(), "B RESET");
}

}  // namespace
}  // namespace volta::engine::test
