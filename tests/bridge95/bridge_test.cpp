// libvolta95.so loaded by name as the player loads it, in front of the stand-in older
// engine: every command goes through unchanged and its reply comes back byte for byte.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <vector>

#include "tests/bridge95/bridge_fixture.h"

namespace volta {
namespace {

using protocol::kCommandBlockSize;
using Block = std::vector<std::uint8_t>;

struct Field {
  std::uint32_t offset;
  std::uint32_t width;
};

struct ProtocolCommand {
  const char* name;
  std::uint32_t code;
  std::uint32_t length;
  std::vector<Field> reply;
};

const ProtocolCommand kCommands[] = {
    {"Version", 0, 73, {{40, 11}, {72, 1}}},
    {"Attach", 1, 12, {}},
    {"Detach", 2, 12, {}},
    {"OpenSequencer", 32, 39, {{8, 4}, {22, 17}}},
    {"CloseSequencer", 33, 12, {}},
    {"Seek", 34, 16, {}},
    {"Pause", 36, 12, {}},
    {"Play", 37, 12, {}},
    {"ScanLength", 38, 19, {{12, 7}}},
    {"Prepare", 39, 781, {{12, 769}}},
    {"TimerPeriod", 40, 14, {}},
    {"OpenOutput", 64, 62, {{8, 4}, {46, 16}}},
    {"CloseOutput", 65, 12, {}},
    {"MuteMask", 66, 16, {}},
    {"MasterVolume", 67, 14, {}},
    {"Transposition", 68, 14, {}},
    {"OutputOptions", 69, 16, {}},
    {"MeterMode", 70, 14, {}},
    {"SendExclusive", 96, 19, {}},
    {"SendQueued", 97, 18, {}},
    {"QueuePause", 98, 14, {}},
    {"ResetPort", 99, 16, {}},
    {"SendFiltered", 100, 18, {}},
    {"Flush", 101, 12, {}},
    // The bridge knows no command but the version: others go through as well.
    {"UnknownCode", 35, 12, {}},
    {"HighestCode", 0xFFFFFFFF, 12, {}},
};

// Named in test listings by its name alone.
void PrintTo(const ProtocolCommand& command, std::ostream* out) {
  *out << command.name;
}

std::uint32_t codeOf(const std::uint8_t* block) {
  std::uint32_t code;
  std::memcpy(&code, block, sizeof code);
  return code;
}

class Bridge : public ::testing::Test {
 protected:
  void TearDown() override { unload(); }

  void load() {
    library_ = dlopen(path().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto getBlock = reinterpret_cast<void* (*)()>(dlsym(library_, "GetThunkBuffer"));
    entry_ = reinterpret_cast<std::uint32_t (*)()>(dlsym(library_, "MIDIEntry"));
    ASSERT_TRUE(getBlock && entry_);
    block_ = static_cast<std::uint8_t*>(getBlock());
    ASSERT_NE(block_, nullptr);
  }
  // The stderr line of a load, for the cases where the older engine is not there.
  std::string loadTelling() {
    ::testing::internal::CaptureStderr();
    load();
    return ::testing::internal::GetCapturedStderr();
  }
  void unload() {
    if (library_) dlclose(library_);
    library_ = nullptr;
  }
  static bool stillLoaded() {
    void* handle = dlopen(path().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
  }
  static std::string path() { return (test::binDir() / "libvolta95.so").string(); }

  // A request as a caller leaves it: noise in every byte the command does not set.
  Block request(const ProtocolCommand& command) {
    Block bytes(kCommandBlockSize);
    std::mt19937 noise(command.code);
    for (auto& byte : bytes)
      byte = static_cast<std::uint8_t>(noise());
    std::memcpy(bytes.data(), &command.code, 4);
    std::memcpy(bytes.data() + 4, &command.length, 4);
    std::memcpy(block_, bytes.data(), bytes.size());
    return bytes;
  }
  Block blockNow() const { return Block(block_, block_ + kCommandBlockSize); }

  test::BridgeSettings settings_;
  void* library_ = nullptr;
  std::uint32_t (*entry_)() = nullptr;
  std::uint8_t* block_ = nullptr;
};

TEST_F(Bridge, TheBlockIsLowAndZeroFilled) {
  settings_.nameOlderEngine(test::standInEngine());
  load();
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(block_), std::uintptr_t{1} << 32);
  const Block bytes = blockNow();
  EXPECT_EQ(std::count(bytes.begin() + 4, bytes.end(), 0), static_cast<long>(kCommandBlockSize - 4));  // the attach
}

TEST_F(Bridge, LoadAndUnloadSendOneAttachAndOneDetach) {
  settings_.nameOlderEngine(test::standInEngine());
  load();
  ASSERT_EQ(standInCallCount(), 1u);
  EXPECT_EQ(standInCall(0)->block, block_);
  EXPECT_EQ(codeOf(standInCall(0)->bytes), protocol::kAttach);
  unload();
  ASSERT_FALSE(stillLoaded());
  ASSERT_EQ(standInCallCount(), 2u);
  EXPECT_EQ(codeOf(standInCall(1)->bytes), protocol::kDetach);
  EXPECT_EQ(standInCall(1)->block, standInCall(0)->block);
}

class EveryCommand : public Bridge, public ::testing::WithParamInterface<ProtocolCommand> {};

TEST_P(EveryCommand, GoesThroughUnchangedAndItsReplyComesBackByteForByte) {
  const ProtocolCommand& command = GetParam();
  settings_.nameOlderEngine(test::standInEngine());
  load();
  const std::uint32_t result = 0xB0000000u | (command.code & 0xFFFF);
  standInAnswer(result);
  Block expected = request(command);
  Block seen = expected;
  if (command.code == protocol::kVersion) std::memcpy(seen.data() + 8, "2.3 rel.11", 11);  // the entry's own
  expected = seen;
  for (const Field& field : command.reply) {
    Block reply(field.width);
    for (std::uint32_t i = 0; i < field.width; ++i)
      reply[i] = static_cast<std::uint8_t>(command.code * 7 + field.offset + i);
    standInPatch(field.offset, reply.data(), field.width);
    std::copy(reply.begin(), reply.end(), expected.begin() + field.offset);
  }
  const std::size_t before = standInCallCount();

  EXPECT_EQ(entry_(), result);
  ASSERT_EQ(standInCallCount(), before + 1);
  const StandInCall& call = *standInCall(before);
  EXPECT_EQ(call.block, block_);  // the block itself, its addresses untranslated
  EXPECT_EQ(Block(call.bytes, call.bytes + kCommandBlockSize), seen);
  EXPECT_EQ(blockNow(), expected);
}

INSTANTIATE_TEST_SUITE_P(Protocol, EveryCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

// Without an older engine: the version at offset 8 for command 0, else nothing, and 0.
class NoOlderEngine : public Bridge {
 protected:
  void expectNothingButTheEntryVersion() {
    for (const ProtocolCommand& command : kCommands) {
      Block expected = request(command);
      if (command.code == protocol::kVersion) std::memcpy(expected.data() + 8, "2.3 rel.11", 11);
      EXPECT_EQ(entry_(), 0u) << command.name;
      EXPECT_EQ(blockNow(), expected) << command.name;
    }
    EXPECT_EQ(standInCallCount(), 0u);
  }
};

TEST_F(NoOlderEngine, AMissingLibraryLeavesTheVersionProbeHalfAnswered) {
  const auto missing = (test::binDir() / "absent" / "libvolta16.so").string();
  settings_.nameOlderEngine(missing);
  const std::string told = loadTelling();
  EXPECT_NE(told.find("libvolta95.so: no older engine"), std::string::npos) << told;
  EXPECT_NE(told.find(missing), std::string::npos) << told;
  expectNothingButTheEntryVersion();
  // The player's own probe: offset 8 holds the version, offset 40 does not.
  request(kCommands[0]);
  std::memset(block_ + 8, 0, 65);
  block_[72] = 1;
  EXPECT_EQ(entry_(), 0u);
  EXPECT_STREQ(reinterpret_cast<const char*>(block_ + 8), "2.3 rel.11");
  EXPECT_STREQ(reinterpret_cast<const char*>(block_ + 40), "");
}

TEST_F(NoOlderEngine, ALibraryWithoutTheEntryPointIsLetGo) {
  settings_.nameOlderEngine((test::binDir() / "libmorph.so").string());
  const std::string told = loadTelling();
  EXPECT_NE(told.find("has no entry point \"MIDIEntry\""), std::string::npos) << told;
  expectNothingButTheEntryVersion();
}

TEST_F(NoOlderEngine, NoSettingLooksForTheOlderEngineByItsOwnName) {
  const std::string told = loadTelling();
  EXPECT_NE(told.find("libvolta16.so"), std::string::npos) << told;
  expectNothingButTheEntryVersion();
}

TEST_F(NoOlderEngine, UnloadingSendsNothing) {
  settings_.nameOlderEngine("/nonexistent/libvolta16.so");
  loadTelling();
  unload();
  EXPECT_FALSE(stillLoaded());
  EXPECT_EQ(standInCallCount(), 0u);
}

}  // namespace
}  // namespace volta
