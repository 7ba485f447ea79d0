// The exclusive path: module resets, GS parameters and the settings that drop them.

#include "tests/engine/output/output_fixture.h"

namespace volta::engine::test {
namespace {

std::vector<std::uint8_t> gs(std::uint32_t address, const std::vector<std::uint8_t>& data) {
  return dataSet(0x42, address, data);
}

const std::vector<std::uint8_t> kXGOn = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
const std::vector<std::uint8_t> kGMOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

class ExclusiveTest : public OutputTest {
 protected:
  void SetUp() override { open({kTrace, kTrace}); }
};

TEST_F(ExclusiveTest, ModuleResetsAreSeenAndPassOrAreDropped) {
  exclusive(gs(0x40007F, {0x00}));
  exclusive(gs(0x00007F, {0x01}));
  exclusive(kXGOn);
  exclusive(kGMOn);
  EXPECT_EQ(sent().size(), 4u);
  EXPECT_EQ(status().gsReset, 1);
  EXPECT_EQ(status().gsMode, 2);
  EXPECT_EQ(status().xgOn, 1);
  EXPECT_EQ(status().gmOn, 1);

  output_->reset();
  settings().disableResetExclusive = 1;
  for (const auto& bytes : {gs(0x40007F, {0x00}), gs(0x00007F, {0x00}), kXGOn, kGMOn})
    exclusive(bytes);
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(status().gsReset, 1);  // seen even when not passed on
  EXPECT_EQ(status().gsMode, 1);
  exclusive(gs(0x40007F, {0x7F}));
  EXPECT_EQ(status().gsReset, 0);
}

TEST_F(ExclusiveTest, ProSettingAndDisableExclusiveDrop) {
  settings().pro88Setting = 1;
  exclusive(gs(0x000003, {0x01}));
  exclusive(gs(0x40101C, {0x20}));
  EXPECT_EQ(sent().size(), 1u);
  settings().disableExclusive = 1;
  exclusive(gs(0x40101C, {0x20}));
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(channel(0, 9).pan, 0x20);  // still understood
}

TEST_F(ExclusiveTest, PartParametersReachTheirChannels) {
  exclusive(gs(0x401115, {0x02}), 1);  // part 1 of port B plays drums
  EXPECT_EQ(channel(1, 0).rhythm, 2);
  word(protocol::kTransposition, 3);
  output_->sendFiltered(1, 0x644090);
  output_->sendFiltered(1, 0x644091);
  EXPECT_EQ(sent(), (Lines{"B F0 41 10 42 12 40 11 15 02 18 F7", "B 90 40 64", "B 91 43 64"}));
  settings().gsToGMEmu = 1;
  exclusive(gs(0x401A1C, {0x30}));  // part A = channel 11
  exclusive(gs(0x402110, {0x4C}));  // bend range 12 on part 1
  EXPECT_EQ(sent(), (Lines{"A BA 0A 30", "A F0 41 10 42 12 40 1A 1C 30 5A F7", "A B0 64 00", "A B0 65 00", "A B0 06 0C",
                           "A F0 41 10 42 12 40 21 10 4C 43 F7"}));
  EXPECT_EQ(channel(0, 10).pan, 0x30);
  EXPECT_EQ(+channel(0, 0).selectedParameter, 0x7F7F);
}

TEST_F(ExclusiveTest, PartTableFollowsReceiveChannelsAndPorts) {
  exclusive(gs(0x401302, {0x05}));     // part 3 of port A listens on channel 6
  exclusive(gs(0x501002, {0x00}), 1);  // rhythm part of the other port (A) seen from port B
  exclusive(gs(0x000102, {0x01}));     // block A, part 2 moves to port B
  exclusive(gs(0x000115, {0x00}));     // block B, part 5 moves to port A
  EXPECT_EQ(status().partTable[0][2].channel, 5);
  EXPECT_EQ(status().partTable[0][9].channel, 0);
  EXPECT_EQ(status().partTable[0][1].port, 1);
  EXPECT_EQ(status().partTable[1][4].port, 0);
  EXPECT_EQ(status().partTable[0][0].port, 0);
  EXPECT_EQ(status().partTable[1][0].port, 1);
}

TEST_F(ExclusiveTest, MultiByteDataSetsWalkTheAddresses) {
  exclusive(gs(0x400100, {'A', 'B', 'C'}));
  EXPECT_EQ(panelText().substr(0, 4), "ABCO");
}

TEST_F(ExclusiveTest, TruncatedAndUnterminatedMessagesAreHarmless) {
  exclusive({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x00, 'Q'});  // no checksum, no F7
  exclusive({0xF0, 0x41, 0x10, 0x45, 0x12, 0x10, 0x00, 0x00, 0xF7, 0x00, 0x00});
  exclusive({0xF0, 0x41});
  EXPECT_EQ(sent().size(), 3u);
  EXPECT_EQ(panelText(), "                ");  // an empty text, centred
}

}  // namespace
}  // namespace volta::engine::test
