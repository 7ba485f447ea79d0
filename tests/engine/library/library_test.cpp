// The engine library loaded by name, as the player loads it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/protocol/records.h"
#include "tests/support/test_support.h"

namespace volta::protocol {
namespace {

// Loaded once and kept, as the player keeps it: unloading would also unload the
// device libraries it pulls in, whose own start-up allocations then read as leaks.
class EngineLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = dlopen((test::binDir() / "libvoltant.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) return;
    getBlock_ = reinterpret_cast<void* (*)()>(dlsym(library_, "GetThunkBuffer"));
    entry_ = reinterpret_cast<std::uint32_t (*)()>(dlsym(library_, "MIDIEntry"));
    entryNT_ = reinterpret_cast<std::uint32_t (*)(void*)>(dlsym(library_, "MIDIEntryNT"));
  }
  void SetUp() override {
    ASSERT_NE(library_, nullptr) << dlerror();
    ASSERT_TRUE(getBlock_ && entry_ && entryNT_);
    block_ = getBlock_();
    ASSERT_NE(block_, nullptr);
  }
  CommandHeader& command(std::uint32_t code, std::uint32_t handle = 0) {
    std::memset(block_, 0, 1024);
    auto& header = commandAs<CommandHeader>(block_);
    header.code = code;
    header.handle = handle;
    return header;
  }

  static inline void* library_ = nullptr;
  static inline void* (*getBlock_)() = nullptr;
  static inline std::uint32_t (*entry_)() = nullptr;
  static inline std::uint32_t (*entryNT_)(void*) = nullptr;
  void* block_ = nullptr;
};

TEST_F(EngineLibrary, CommandBlockIsLowZeroFilledAndStable) {
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(block_), std::uintptr_t{1} << 32);
  EXPECT_EQ(getBlock_(), block_);
  const auto* bytes = static_cast<const std::uint8_t*>(block_);
  EXPECT_EQ(bytes[kCommandBlockSize - 1], 0);
}

TEST_F(EngineLibrary, VersionProbeFillsBothFields) {
  command(kVersion);
  auto& version = commandAs<VersionCommand>(block_);
  version.length = sizeof(VersionCommand);
  version.canServe = 1;
  EXPECT_EQ(entry_(), 1u);
  EXPECT_STREQ(version.entryVersion, "2.3 rel.11");
  EXPECT_STREQ(version.dispatcherVersion, "2.3 rel.11");
  EXPECT_EQ(version.canServe, 1);
}

TEST_F(EngineLibrary, DispatcherAloneLeavesTheEntryVersionEmpty) {
  command(kVersion);
  EXPECT_EQ(entryNT_(block_), 1u);
  EXPECT_STREQ(commandAs<VersionCommand>(block_).entryVersion, "");
  EXPECT_STREQ(commandAs<VersionCommand>(block_).dispatcherVersion, "2.3 rel.11");
}

TEST_F(EngineLibrary, AttachCountsClients) {
  command(kAttach);
  const std::uint32_t before = entry_();
  command(kAttach);
  EXPECT_EQ(entry_(), before + 1);
  command(kDetach);
  EXPECT_EQ(entry_(), 0u);
  command(kDetach);
  entry_();
}

TEST_F(EngineLibrary, UnknownCodesAndGarbageHandlesReturnZero) {
  for (std::uint32_t code : {3u, 35u, 41u, 63u, 71u, 95u, 102u, 0xFFFFFFFFu}) {
    command(code, 0x1234);
    EXPECT_EQ(entry_(), 0u) << code;
  }
  for (std::uint32_t code : {33u, 34u, 36u, 37u, 38u, 39u, 40u, 65u, 66u, 67u, 99u, 101u}) {
    for (std::uint32_t handle :
         {0u, 1u, 0x55AAu, 0xDEADBEEFu, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(block_))}) {
      command(code, handle);
      EXPECT_EQ(entry_(), 0u) << code << " " << handle;
    }
  }
}

TEST_F(EngineLibrary, ExportsOnlyTheEntryPoints) {
  EXPECT_EQ(dlsym(library_, "_ZN5volta6engine8dispatchEPv"), nullptr);
}

}  // namespace
}  // namespace volta::protocol
