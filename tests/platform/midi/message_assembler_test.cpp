#include "platform/midi/message_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace volta::platform::midi {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Collected {
  Bytes bytes;
  bool complete;
  bool operator==(const Collected&) const = default;
};

class MessageAssemblerTest : public ::testing::Test {
 protected:
  void feed(const Bytes& bytes) { assembler.feed(bytes.data(), bytes.size()); }
  void feedOneByOne(const Bytes& bytes) {
    for (auto b : bytes)
      assembler.feed(&b, 1);
  }
  static Collected whole(Bytes bytes) { return {std::move(bytes), true}; }

  std::vector<Collected> out;
  MessageAssembler assembler{8, [this](const AssembledMessage& m) {
                               out.push_back({Bytes(m.bytes, m.bytes + m.count), m.complete});
                             }};
};

TEST_F(MessageAssemblerTest, PassesWholeMessagesAsTheyStand) {
  feed({0x90, 0x3C, 0x40, 0xC1, 0x05, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0xF2, 0x10, 0x20, 0xFE});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0x90, 0x3C, 0x40}), whole({0xC1, 0x05}),
                                         whole({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}), whole({0xF2, 0x10, 0x20}),
                                         whole({0xFE})}));
}

TEST_F(MessageAssemblerTest, JoinsBytesSentOneAtATime) {
  feedOneByOne({0xF0, 0x41, 0x10, 0x42, 0xF7, 0xB0, 0x07, 0x64});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0xF0, 0x41, 0x10, 0x42, 0xF7}), whole({0xB0, 0x07, 0x64})}));
}

TEST_F(MessageAssemblerTest, RunningStatusRepeatsTheLastChannelStatus) {
  feed({0x90, 0x3C, 0x40, 0x3E, 0x40, 0xC0, 0x01, 0x02});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0x90, 0x3C, 0x40}), whole({0x90, 0x3E, 0x40}), whole({0xC0, 0x01}),
                                         whole({0xC0, 0x02})}));
}

TEST_F(MessageAssemblerTest, SystemMessagesCancelRunningStatusAndStrayDataIsDropped) {
  feed({0x12, 0x90, 0x3C, 0x40, 0xF0, 0x01, 0xF7, 0x3E, 0x40, 0xF7});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0x90, 0x3C, 0x40}), whole({0xF0, 0x01, 0xF7})}));
}

TEST_F(MessageAssemblerTest, RealTimeBytesPassWithoutBreakingAMessage) {
  feed({0xF0, 0x01, 0xF8, 0x02, 0xF7, 0x90, 0xFA, 0x3C, 0x40});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0xF8}), whole({0xF0, 0x01, 0x02, 0xF7}), whole({0xFA}),
                                         whole({0x90, 0x3C, 0x40})}));
}

TEST_F(MessageAssemblerTest, AStatusInsideAnExclusiveEndsIt) {
  feed({0xF0, 0x01, 0x02, 0x80, 0x3C, 0x00});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0xF0, 0x01, 0x02, 0xF7}), whole({0x80, 0x3C, 0x00})}));
}

TEST_F(MessageAssemblerTest, LongExclusivesLeaveInPiecesThatJoinToTheOriginal) {
  const Bytes exclusive{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0xF7};
  feed(exclusive);
  ASSERT_EQ(out.size(), 3u);
  Bytes joined;
  for (std::size_t i = 0; i < out.size(); ++i) {
    EXPECT_LE(out[i].bytes.size(), 8u);
    EXPECT_EQ(out[i].complete, i + 1 == out.size());
    joined.insert(joined.end(), out[i].bytes.begin(), out[i].bytes.end());
  }
  EXPECT_EQ(joined, exclusive);
}

TEST_F(MessageAssemblerTest, ClearForgetsAPartialMessageAndTheRunningStatus) {
  feed({0x90, 0x3C, 0x40, 0x90, 0x3C});
  assembler.clear();
  feed({0x40, 0x41, 0xF0, 0x01});
  assembler.clear();
  feed({0x02, 0xF7});
  EXPECT_EQ(out, (std::vector<Collected>{whole({0x90, 0x3C, 0x40})}));
}

TEST(ShortMessageLength, FollowsTheStatus) {
  EXPECT_EQ(shortMessageLength(0x9F), 3u);
  EXPECT_EQ(shortMessageLength(0xC3), 2u);
  EXPECT_EQ(shortMessageLength(0xD0), 2u);
  EXPECT_EQ(shortMessageLength(0xE0), 3u);
  EXPECT_EQ(shortMessageLength(0xF1), 2u);
  EXPECT_EQ(shortMessageLength(0xF2), 3u);
  EXPECT_EQ(shortMessageLength(0xF3), 2u);
  EXPECT_EQ(shortMessageLength(0xF6), 1u);
  EXPECT_EQ(shortMessageLength(0xFF), 1u);
}

}  // namespace
}  // namespace volta::platform::midi
