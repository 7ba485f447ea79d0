// The filter path: what reaches the port for each setting, and the channel state.

#include "tests/engine/output/output_fixture.h"

namespace volta::engine::test {
namespace {

std::uint32_t msg(int status, int d1, int d2 = 0) {
  return status | d1 << 8 | d2 << 16;
}

void setPatch(protocol::OutputSettings& s, int index, std::vector<std::uint8_t> key, std::vector<std::uint8_t> to) {
  std::memcpy(s.patchMap[index].key, key.data(), 4);
  std::memcpy(s.patchMap[index].replacement, to.data(), 4);
  s.patchMapCount = static_cast<std::uint16_t>(index + 1);
}

class FilterTest : public OutputTest {
 protected:
  void SetUp() override { open({kTrace}); }
};

TEST_F(FilterTest, MutedChannelsLoseNotesButKeepTheirState) {
  command<protocol::MuteMaskCommand>().mask = 1;  // channel 1 of every port
  ASSERT_EQ(run(protocol::kMuteMask), 1u);
  EXPECT_EQ(sent(), Lines{"A B0 7B 00"});  // port A only: B and C are closed
  filtered(msg(0x90, 60, 100));
  filtered(msg(0xB0, 7, 90));
  filtered(msg(0x91, 60, 100));
  EXPECT_EQ(sent(), (Lines{"A B0 07 5A", "A 91 3C 64"}));
  EXPECT_EQ(+channel(0, 0).noteOnCounter, 1);
}

TEST_F(FilterTest, TranspositionMovesMelodicNotesWithinRange) {
  filtered(msg(0x90, 50, 1));  // sounding: the change must silence it first
  sent();
  word(protocol::kTransposition, 2);
  EXPECT_EQ(sent().size(), 16u * 3);  // controllers 120, 123, 124 on every channel of port A
  for (auto m : {msg(0x90, 60, 100), msg(0x80, 60, 0), msg(0x90, 127, 100), msg(0x99, 36, 100)})
    filtered(m);
  EXPECT_EQ(sent(), (Lines{"A 90 3E 64", "A 80 3E 00", "A 90 7F 64", "A 99 24 64"}));
  word(protocol::kTransposition, static_cast<std::uint16_t>(-5));
  sent();
  filtered(msg(0x90, 3, 100));
  EXPECT_EQ(sent(), Lines{"A 90 00 64"});
}

TEST_F(FilterTest, MasterVolumeScalesVolumeAndRestoresIt) {
  filtered(msg(0xB1, 7, 120));
  sent();
  word(protocol::kMasterVolume, 64);
  auto lines = sent();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "A B0 07 32");  // default volume 100 -> 50
  EXPECT_EQ(lines[1], "A B1 07 3C");
  filtered(msg(0xB0, 7, 100));
  EXPECT_EQ(sent(), Lines{"A B0 07 32"});
  word(protocol::kMasterVolume, 127);
  EXPECT_EQ(sent()[0], "A B0 07 64");  // back to 100, not 99
}

TEST_F(FilterTest, PatchMapMatchesByWildcardRulesAndRhythmAgreement) {
  auto& s = settings();
  setPatch(s, 0, {0xFF, 0xFF, 3, 0}, {0xFF, 8, 7, 0});  // any program of bank LSB 3
  setPatch(s, 1, {5, 0xFF, 0xFF, 0}, {10, 0xFF, 0xFF, 0});
  setPatch(s, 2, {5, 0xFF, 0xFF, 0}, {11, 0xFF, 0xFF, 0});  // shadowed by entry 1
  setPatch(s, 3, {6, 0xFF, 0xFF, 0}, {12, 0xFF, 0xFF, 1});  // replacement for drums only
  setPatch(s, 4, {1, 0, 0, 1}, {2, 0xFF, 0xFF, 1});         // exact key, drums
  filtered(msg(0xC0, 5));
  filtered(msg(0xC9, 6));
  filtered(msg(0xC0, 6));
  filtered(msg(0xC0, 1));
  filtered(msg(0xC9, 1));  // drum set 1 is now the bank MSB: the exact key no longer matches
  EXPECT_EQ(sent(), (Lines{"A C0 0A", "A C9 0C", "A C0 06", "A C0 01", "A C9 01"}));
  filtered(msg(0xB1, 32, 3));
  filtered(msg(0xC1, 20));
  EXPECT_EQ(sent(), (Lines{"A B1 20 03", "A B1 20 07", "A B1 00 08", "A C1 14"}));
}

TEST_F(FilterTest, NoteMapFollowsTheDrumSet) {
  auto& s = settings();
  s.noteMap[0] = {{36, 16, 0, 0}, {38, 0, 0, 0}};
  s.noteMapCount = 1;
  filtered(msg(0x99, 36, 100));  // drum set 0
  filtered(msg(0xC9, 16));
  filtered(msg(0x99, 36, 100));
  filtered(msg(0x89, 36, 0));
  filtered(msg(0x90, 36, 100));  // melodic
  EXPECT_EQ(sent(), (Lines{"A 99 24 64", "A C9 10", "A 99 26 64", "A 89 26 00", "A 90 24 64"}));
}

TEST_F(FilterTest, BankSelectSettings) {
  auto& s = settings();
  s.disableBankSelectLSB = 1;
  s.disableBankSelectMSB = 1;
  filtered(msg(0xB0, 32, 1));
  filtered(msg(0xB0, 0, 1));
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(channel(0, 0).bankMSB, 1);  // the state still follows the song

  s.disableBankSelectLSB = s.disableBankSelectMSB = 0;
  s.mapSelect = 3;
  filtered(msg(0xC0, 1));      // no LSB marked: one is sent first
  filtered(msg(0xB1, 32, 0));  // takes the map and marks it
  filtered(msg(0xC1, 2));
  EXPECT_EQ(sent(), (Lines{"A B0 20 03", "A C0 01", "A B1 20 03", "A C1 02"}));

  s.mapSelect = 0;
  s.defaultBankSelectLSB = 2;
  filtered(msg(0xB2, 32, 0));
  filtered(msg(0xB2, 32, 5));
  EXPECT_EQ(sent(), (Lines{"A B2 20 02", "A B2 20 05"}));
}

TEST_F(FilterTest, XGDrumBankWithXGToGMEmuMovesNotesToChannel10) {
  settings().xgToGMEmu = 1;
  filtered(msg(0xB4, 0, 127));
  filtered(msg(0x94, 40, 100));
  filtered(msg(0x84, 40, 0));
  filtered(msg(0xB4, 7, 90));
  filtered(msg(0xC4, 3));
  filtered(msg(0x90, 40, 100));
  EXPECT_EQ(sent(), (Lines{"A B4 00 00", "A 99 28 64", "A 89 28 00", "A 90 28 64"}));
  EXPECT_EQ(channel(0, 4).volume, 90);
}

TEST_F(FilterTest, XGToGSEmuTurnsDrumBankIntoRhythmPart) {
  settings().xgToGSEmu = 1;
  filtered(msg(0xB2, 0, 127));
  filtered(msg(0xB2, 94, 100));
  EXPECT_EQ(sent(), (Lines{"A F0 41 10 42 12 40 13 15 02 16 F7", "A B2 00 00", "A B2 5E 19"}));
}

TEST_F(FilterTest, GSToGMEmuMovesRhythmPartsWhole) {
  settings().gsToGMEmu = 1;
  exclusive({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x12, 0x15, 0x01, 0x18, 0xF7});  // part 2 plays drums
  sent();
  filtered(msg(0x91, 36, 100));
  filtered(msg(0xB1, 7, 80));
  EXPECT_EQ(sent(), (Lines{"A 99 24 64", "A B9 07 50"}));
  EXPECT_EQ(channel(0, 1).rhythm, 1);
}

TEST_F(FilterTest, ChannelStateFollowsControllersNotesAndParameters) {
  for (auto m : {msg(0xB3, 10, 20), msg(0xB3, 99, 1), msg(0xB3, 98, 0x20), msg(0xB3, 6, 90), msg(0xE3, 0x7F, 0x7F),
                 msg(0x93, 60, 100), msg(0x93, 64, 90), msg(0x83, 60, 0), msg(0x83, 70, 0), msg(0x83, 71, 0),
                 msg(0x83, 72, 0)}) {
    filtered(m);
  }
  const auto& s = channel(0, 3);
  EXPECT_EQ(s.pan, 20);
  EXPECT_EQ(s.cutoff, 90);
  EXPECT_EQ(+s.selectedParameter, 0x0120);
  EXPECT_EQ(+s.pitchBend, 0x3FFF);
  EXPECT_EQ(+s.noteOnCounter, 2);
  EXPECT_EQ(+s.soundingCount, 0);  // extra note-offs do not wrap it
  EXPECT_EQ(s.notes[0], protocol::kEmptyNoteSlot);
  EXPECT_EQ(s.notes[1], 64);
  EXPECT_EQ(s.velocities[1], 90);
  filtered(msg(0xB3, 101, 0));
  EXPECT_EQ(+channel(0, 3).selectedParameter, 0x7F7F);
}

}  // namespace
}  // namespace volta::engine::test
