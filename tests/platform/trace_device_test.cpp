#include "platform/midi/trace_device.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/clock.h"
#include "tests/support/test_support.h"

namespace volta::platform::midi {
namespace {

class TraceDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { installClock(&clock); }
  void TearDown() override {
    installClock(nullptr);
    unsetenv(kTraceEnvironmentVariable);
  }
  ManualClock clock;
  test::TempDir dir;
};

TEST_F(TraceDeviceTest, WritesOneLinePerMessageWithTimeAndPort) {
  const auto path = dir / "trace.txt";
  clock.setMicroseconds(1000000);
  auto a = openTraceDevice(path.string(), 0);
  auto c = openTraceDevice(path.string(), 2);
  ASSERT_TRUE(a && c);
  clock.advanceMicroseconds(1500);
  a->sendShort(0x403C90);
  c->sendShort(0x05C1);  // program change: two bytes
  const std::uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  clock.advanceMicroseconds(10);
  a->sendLong(sysex, sizeof sysex);
  c->reset();
  EXPECT_EQ(test::readText(path),
            "1500 A 90 3C 40\n"
            "1500 C C1 05\n"
            "1510 A F0 7E 7F 09 01 F7\n"
            "1510 C RESET\n");
}

TEST_F(TraceDeviceTest, ReopeningTruncatesAndRestartsTime) {
  const auto path = dir / "trace.txt";
  {
    auto a = openTraceDevice(path.string(), 0);
    clock.advanceMicroseconds(50);
    a->sendShort(0x80);
  }
  clock.advanceMicroseconds(1000);
  auto b = openTraceDevice(path.string(), 1);
  b->sendShort(0x7FB0);
  EXPECT_EQ(test::readText(path), "0 B B0 7F 00\n");
}

TEST_F(TraceDeviceTest, ListedOnlyWhenTheVariableIsSet) {
  unsetenv(kTraceEnvironmentVariable);
  EXPECT_EQ(findOutputDevice("Trace"), kNoDevice);
  const auto path = dir / "t.txt";
  setenv(kTraceEnvironmentVariable, path.c_str(), 1);
  const auto id = findOutputDevice("Trace");
  ASSERT_EQ(id, 0u);
  auto port = openOutputDevice(id, 1);
  ASSERT_TRUE(port);
  port->sendShort(0x90);
  EXPECT_EQ(test::readText(path), "0 B 90 00 00\n");
  EXPECT_EQ(openOutputDevice(kNoDevice, 0), nullptr);
  EXPECT_EQ(openOutputDevice(57, 0), nullptr);
}

TEST_F(TraceDeviceTest, UnwritablePathFailsToOpen) {
  EXPECT_EQ(openTraceDevice((dir / "missing" / "t.txt").string(), 0), nullptr);
  EXPECT_EQ(openTraceDevice((dir / "t.txt").string(), 3), nullptr);
}

}  // namespace
}  // namespace volta::platform::midi
