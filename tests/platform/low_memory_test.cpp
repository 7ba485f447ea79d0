#include "platform/low_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace volta::platform {
namespace {

TEST(LowMemory, BlocksLieBelowFourGiBAndStartZeroFilled) {
  for (std::size_t size : {1u, 39u, 8241u, 24964u, 1u << 20}) {
    auto* block = static_cast<std::uint8_t*>(allocateLow(size));
    ASSERT_NE(block, nullptr) << size;
    EXPECT_LT(reinterpret_cast<std::uintptr_t>(block) + size, std::uintptr_t{1} << 32);
    EXPECT_TRUE(std::all_of(block, block + size, [](std::uint8_t b) { return b == 0; }));
    block[0] = 1;
    block[size - 1] = 2;  // the whole block is writable
    EXPECT_EQ(fromLowAddress<std::uint8_t>(lowAddress(block)), block);
    freeLow(block);
  }
}

TEST(LowMemory, ObjectsAreConstructedAndDestroyedInPlace) {
  static int destroyed = 0;
  struct Probe {
    explicit Probe(int v) : value(v) {}
    ~Probe() { ++destroyed; }
    int value;
  };
  Probe* probe = newLow<Probe>(7);
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->value, 7);
  deleteLow(probe);
  EXPECT_EQ(destroyed, 1);
  deleteLow<Probe>(nullptr);
  freeLow(nullptr);
}

TEST(LowMemory, ManyBlocksStayDistinct) {
  std::vector<void*> blocks;
  for (int i = 0; i < 200; ++i)
    blocks.push_back(allocateLow(100));
  std::vector<void*> sorted = blocks;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  for (void* b : blocks)
    freeLow(b);
}

}  // namespace
}  // namespace volta::platform
