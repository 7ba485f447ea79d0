// The filter on its own: what each channel message becomes under the settings, the
// bank bookkeeping it keeps per channel, and how it reads GS parameters.

#include "engine/output_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace volta::engine {
namespace {

using Messages = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;
using Kind = GSParameter::Kind;

constexpr std::uint32_t msg(int status, int d1, int d2 = 0) {
  return static_cast<std::uint32_t>(status | d1 << 8 | d2 << 16);
}

class OutputFilterTest : public ::testing::Test {
 protected:
  // The settings record is 20 KB: on the heap, zero-filled as the engine allocates it.
  std::unique_ptr<protocol::OutputSettings> settingsRecord_ = std::make_unique<protocol::OutputSettings>();
  protocol::OutputSettings& s_ = *settingsRecord_;
  OutputFilter filter_{s_};

  Messages send(std::uint32_t message, int port = 0) {
    last_ = filter_.filter(port, ShortMessage::unpack(message));
    return {last_.messages.begin(), last_.messages.end()};
  }
  Bytes lastExclusive() const { return {last_.exclusive().begin(), last_.exclusive().end()}; }
  Messages controllers(const GSParameter& p) const { return {p.controllers.begin(), p.controllers.end()}; }

  void setPatch(std::size_t index, Bytes key, Bytes to) {
    s_.patchMap[index] = {{key[0], key[1], key[2], key[3]}, {to[0], to[1], to[2], to[3]}};
    s_.patchMapCount = static_cast<std::uint16_t>(index + 1);
  }
  // Fills the whole map with entries that match nothing a test sends.
  void fillPatchMap() {
    for (auto& entry : s_.patchMap)
      entry = {{0x7E, 0x7E, 0x7E, 0}, {0, 0, 0, 0}};
    s_.patchMapCount = protocol::kPatchMapSize;
  }

  FilterResult last_;
};

// --- what passes untouched, and what gives nothing ---

TEST_F(OutputFilterTest, WithoutSettingsEveryMessagePassesAsItIs) {
  for (std::uint32_t m : {msg(0x90, 60, 100), msg(0x8F, 127, 127), msg(0xBF, 7, 127), msg(0xC0, 127),
                          msg(0xEF, 0x7F, 0x7F), msg(0xA3, 1, 2), msg(0xD4, 9), msg(0xF8, 0), msg(0xFF, 0)}) {
    EXPECT_EQ(send(m, 2), Messages{m}) << std::hex << m;
    EXPECT_TRUE(lastExclusive().empty());
  }
}

TEST_F(OutputFilterTest, DataBytesAndPortsOutsideTheThreeGiveNothing) {
  EXPECT_TRUE(send(msg(0x7F, 60, 100)).empty());
  EXPECT_TRUE(send(msg(0x90, 60, 100), -1).empty());
  EXPECT_TRUE(send(msg(0x90, 60, 100), 3).empty());
}

TEST_F(OutputFilterTest, MutedChannelLosesOnlyItsNotes) {
  filter_.setMuted(1 * 16 + 15, true);  // port B, channel 16
  EXPECT_TRUE(send(msg(0x9F, 60, 100), 1).empty());
  EXPECT_TRUE(send(msg(0x8F, 60, 0), 1).empty());
  EXPECT_EQ(send(msg(0xBF, 7, 90), 1), Messages{msg(0xBF, 7, 90)});
  EXPECT_EQ(send(msg(0x9F, 60, 100), 0), Messages{msg(0x9F, 60, 100)});  // same channel, other port
  filter_.setMuted(1 * 16 + 15, false);
  EXPECT_EQ(send(msg(0x9F, 60, 100), 1), Messages{msg(0x9F, 60, 100)});
}

// --- drum routing and the XG drum bank ---

TEST_F(OutputFilterTest, DrumRoutingNeedsAGMEmulation) {
  filter_.gsParameter(0, 0x401215, 1);  // part 2 (channel 2) plays drums
  EXPECT_EQ(send(msg(0x91, 36, 100)), Messages{msg(0x91, 36, 100)});
  s_.gsToGMEmu = 1;
  EXPECT_EQ(send(msg(0x91, 36, 100)), Messages{msg(0x99, 36, 100)});
  EXPECT_EQ(send(msg(0xB1, 7, 80)), Messages{msg(0xB9, 7, 80)});  // rhythm mode 1 moves everything
  EXPECT_EQ(send(msg(0x92, 36, 100)), Messages{msg(0x92, 36, 100)});
}

TEST_F(OutputFilterTest, XGDrumBankForGMMakesASecondDrumChannelOfNotesOnly) {
  s_.xgToGMEmu = 1;
  EXPECT_EQ(send(msg(0xBF, 0, 127)), Messages{msg(0xBF, 0, 0)});
  EXPECT_TRUE(lastExclusive().empty());
  EXPECT_EQ(filter_.record(0, 15).rhythm, 2);
  EXPECT_EQ(send(msg(0x9F, 40, 100)), Messages{msg(0x99, 40, 100)});
  EXPECT_EQ(send(msg(0x8F, 40, 0)), Messages{msg(0x89, 40, 0)});
  EXPECT_TRUE(send(msg(0xBF, 7, 90)).empty());
  EXPECT_TRUE(send(msg(0xCF, 3)).empty());
  EXPECT_TRUE(send(msg(0xEF, 0, 0x40)).empty());
}

TEST_F(OutputFilterTest, XGDrumBankForGMKeepsTheFirstDrumChannelsMode) {
  s_.xgToGMEmu = 1;
  EXPECT_EQ(send(msg(0xB9, 0, 127)), Messages{msg(0xB9, 0, 0)});
  EXPECT_EQ(filter_.record(0, 9).rhythm, 1);
  EXPECT_EQ(send(msg(0xB9, 7, 90)), Messages{msg(0xB9, 7, 90)});
}

TEST_F(OutputFilterTest, XGDrumBankForGSSendsUseForRhythmFirst) {
  s_.xgToGSEmu = 1;
  EXPECT_EQ(send(msg(0xBF, 0, 127), 2), Messages{msg(0xBF, 0, 0)});
  EXPECT_EQ(lastExclusive(), (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1F, 0x15, 0x02, 0x0A, 0xF7}));
  EXPECT_EQ(filter_.record(2, 15).rhythm, 2);
  // The rhythm channel is GS part 0 and takes drum map 1.
  send(msg(0xB9, 0, 127));
  EXPECT_EQ(lastExclusive(), (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x10, 0x15, 0x01, 0x1A, 0xF7}));
  EXPECT_EQ(send(msg(0xB0, 0, 126)), Messages{msg(0xB0, 0, 126)});
  EXPECT_TRUE(lastExclusive().empty());
}

TEST_F(OutputFilterTest, XGToGSDividesTheVariationSend) {
  EXPECT_EQ(send(msg(0xB2, 94, 127)), Messages{msg(0xB2, 94, 127)});
  s_.xgToGSEmu = 1;
  EXPECT_EQ(send(msg(0xB2, 94, 127)), Messages{msg(0xB2, 94, 31)});
  EXPECT_EQ(send(msg(0xB2, 94, 3)), Messages{msg(0xB2, 94, 0)});
}

TEST_F(OutputFilterTest, GMEmulationWinsOverGSForTheDrumBank) {
  s_.xgToGMEmu = s_.xgToGSEmu = 1;
  EXPECT_EQ(send(msg(0xB4, 0, 127)), Messages{msg(0xB4, 0, 0)});
  EXPECT_TRUE(lastExclusive().empty());
  EXPECT_EQ(filter_.record(0, 4).rhythm, 2);
}

TEST_F(OutputFilterTest, DroppedDrumBankStillSendsItsExclusive) {
  s_.xgToGSEmu = 1;
  s_.disableBankSelectMSB = 1;
  EXPECT_TRUE(send(msg(0xB3, 0, 127)).empty());
  EXPECT_EQ(lastExclusive().size(), 11u);
}

// --- bank bookkeeping ---

TEST_F(OutputFilterTest, RecordsBanksAndTheDrumSet) {
  send(msg(0xB5, 0, 8));
  send(msg(0xB5, 32, 0xFF));  // a data byte with the top bit set keeps 7 bits
  EXPECT_EQ(filter_.record(0, 5).bankMSB, 8);
  EXPECT_EQ(filter_.record(0, 5).bankLSB, 0x7F);
  send(msg(0xC5, 127));  // melodic: the program is not a drum set
  EXPECT_EQ(filter_.record(0, 5).bankMSB, 8);
  send(msg(0xC9, 127), 2);
  EXPECT_EQ(filter_.record(2, 9).bankMSB, 127);
  EXPECT_EQ(filter_.record(0, 9).bankMSB, 0);  // ports keep their own records
}

TEST_F(OutputFilterTest, ResetClearsRecordsAndMakesChannel10Drums) {
  s_.defaultBankSelectLSB = 1;
  send(msg(0xB3, 0, 9), 1);
  send(msg(0xB3, 32, 5), 1);
  s_.xgToGMEmu = 1;
  send(msg(0xB4, 0, 127), 1);
  filter_.gsParameter(2, 0x401015, 0);  // the rhythm part plays melodies
  filter_.reset();
  for (int port = 0; port < 3; ++port) {
    for (int channel = 0; channel < 16; ++channel) {
      const ChannelRecord& r = filter_.record(port, channel);
      EXPECT_EQ(r.rhythm, channel == 9 ? 1 : 0);
      EXPECT_EQ(r.bankMSB, 0);
      EXPECT_EQ(r.bankLSB, 0);
      EXPECT_FALSE(r.lsbSent);
    }
  }
}

TEST_F(OutputFilterTest, BankRecordedOutsideTheFilterChoosesTheDrumSet) {
  s_.noteMap[0] = {{36, 127, 0, 0}, {35, 0, 0, 0}};
  s_.noteMapCount = 1;
  filter_.recordBankMSB(0, 9, 127);
  EXPECT_EQ(send(msg(0x99, 36, 100)), Messages{msg(0x99, 35, 100)});
}

// --- the patch map ---

TEST_F(OutputFilterTest, PatchMapReplacesBankAndProgramInOrder) {
  setPatch(0, {0xFF, 0xFF, 3, 0}, {0xFF, 8, 7, 0});  // any program of bank LSB 3
  send(msg(0xB1, 32, 3));
  EXPECT_EQ(send(msg(0xC1, 20)), (Messages{msg(0xB1, 32, 7), msg(0xB1, 0, 8), msg(0xC1, 20)}));
  EXPECT_EQ(send(msg(0xC2, 20)), Messages{msg(0xC2, 20)});  // bank LSB 0: a miss
}

TEST_F(OutputFilterTest, PatchMapRulesAndTheFirstMatchWins) {
  setPatch(0, {5, 0xFF, 0xFF, 0}, {10, 0xFF, 0xFF, 0});  // program 5 of any bank
  setPatch(1, {5, 0xFF, 0xFF, 0}, {11, 0xFF, 0xFF, 0});  // shadowed
  setPatch(2, {6, 2, 0xFF, 0}, {12, 0xFF, 0xFF, 0});     // program 6 of MSB 2, any LSB
  setPatch(3, {0xFF, 4, 0xFF, 0}, {13, 0xFF, 0xFF, 0});  // any program of MSB 4
  setPatch(4, {7, 0, 1, 0}, {14, 0xFF, 0xFF, 0});        // exact key
  EXPECT_EQ(send(msg(0xC0, 5)), Messages{msg(0xC0, 10)});
  send(msg(0xB0, 0, 2));
  send(msg(0xB0, 32, 9));
  EXPECT_EQ(send(msg(0xC0, 6)), Messages{msg(0xC0, 12)});
  send(msg(0xB0, 0, 4));
  EXPECT_EQ(send(msg(0xC0, 127)), Messages{msg(0xC0, 13)});
  send(msg(0xB0, 0, 0));
  send(msg(0xB0, 32, 1));
  EXPECT_EQ(send(msg(0xC0, 7)), Messages{msg(0xC0, 14)});
  send(msg(0xB0, 32, 2));
  EXPECT_EQ(send(msg(0xC0, 7)), Messages{msg(0xC0, 7)});
}

TEST_F(OutputFilterTest, PatchMapReplacementMustAgreeWithTheRhythmMode) {
  setPatch(0, {6, 0xFF, 0xFF, 0}, {12, 0xFF, 0xFF, 1});  // a drum kit replacement
  EXPECT_EQ(send(msg(0xC0, 6)), Messages{msg(0xC0, 6)});
  EXPECT_EQ(send(msg(0xC9, 6)), Messages{msg(0xC9, 12)});
  // An exact key names its rhythm flag; the drum set recorded first is the bank MSB.
  setPatch(1, {1, 1, 0, 1}, {2, 0xFF, 0xFF, 1});
  EXPECT_EQ(send(msg(0xC9, 1)), Messages{msg(0xC9, 2)});
  send(msg(0xB0, 0, 1));
  EXPECT_EQ(send(msg(0xC0, 1)), Messages{msg(0xC0, 1)});
}

TEST_F(OutputFilterTest, PatchMapEntriesBeyondTheCountAreNotRead) {
  setPatch(0, {5, 0xFF, 0xFF, 0}, {10, 0xFF, 0xFF, 0});
  s_.patchMapCount = 0;
  EXPECT_EQ(send(msg(0xC0, 5)), Messages{msg(0xC0, 5)});
}

TEST_F(OutputFilterTest, FullPatchMapIsSearchedToItsLastEntry) {
  fillPatchMap();
  s_.patchMap[protocol::kPatchMapSize - 1] = {{127, 0, 0, 0}, {0, 0xFF, 0xFF, 0}};
  EXPECT_EQ(send(msg(0xCF, 127)), Messages{msg(0xCF, 0)});
  EXPECT_EQ(send(msg(0xCF, 126)), Messages{msg(0xCF, 126)});
  s_.patchMapCount = 0xFFFF;  // a count past the table stops at its end
  EXPECT_EQ(send(msg(0xCF, 127)), Messages{msg(0xCF, 0)});
}

// --- the note map ---

TEST_F(OutputFilterTest, NoteMapFollowsTheDrumSetOnRhythmChannelsOnly) {
  s_.noteMap[0] = {{36, 16, 0, 0}, {38, 0, 0, 0}};
  s_.noteMapCount = 1;
  EXPECT_EQ(send(msg(0x99, 36, 100)), Messages{msg(0x99, 36, 100)});  // drum set 0
  send(msg(0xC9, 16));
  EXPECT_EQ(send(msg(0x99, 36, 100)), Messages{msg(0x99, 38, 100)});
  EXPECT_EQ(send(msg(0x89, 36, 0)), Messages{msg(0x89, 38, 0)});
  EXPECT_EQ(send(msg(0xA9, 36, 5)), Messages{msg(0xA9, 36, 5)});  // not a note-on or off
  EXPECT_EQ(send(msg(0x90, 36, 100)), Messages{msg(0x90, 36, 100)});
}

TEST_F(OutputFilterTest, FullNoteMapIsSearchedToItsLastEntry) {
  for (auto& entry : s_.noteMap)
    entry = {{0x7E, 0x7E, 0, 0}, {0, 0, 0, 0}};
  s_.noteMap[protocol::kNoteMapSize - 1] = {{127, 0, 0, 0}, {1, 0, 0, 0}};
  s_.noteMapCount = 0xFFFF;
  EXPECT_EQ(send(msg(0x99, 127, 1)), Messages{msg(0x99, 1, 1)});
}

// --- master volume and transposition ---

TEST_F(OutputFilterTest, MasterVolumeScalesControllerSeven) {
  EXPECT_EQ(send(msg(0xB0, 7, 100)), Messages{msg(0xB0, 7, 100)});
  filter_.setMasterVolume(64);
  EXPECT_EQ(send(msg(0xB0, 7, 100)), Messages{msg(0xB0, 7, 50)});
  EXPECT_EQ(send(msg(0xB0, 11, 100)), Messages{msg(0xB0, 11, 100)});
  filter_.setMasterVolume(0);
  EXPECT_EQ(send(msg(0xB0, 7, 127)), Messages{msg(0xB0, 7, 0)});
}

TEST_F(OutputFilterTest, TranspositionMovesMelodicNotesWithinRange) {
  filter_.setTransposition(2);
  EXPECT_EQ(send(msg(0x90, 60, 100)), Messages{msg(0x90, 62, 100)});
  EXPECT_EQ(send(msg(0x80, 60, 0)), Messages{msg(0x80, 62, 0)});
  EXPECT_EQ(send(msg(0x90, 127, 100)), Messages{msg(0x90, 127, 100)});
  EXPECT_EQ(send(msg(0x99, 36, 100)), Messages{msg(0x99, 36, 100)});
  EXPECT_EQ(send(msg(0xA0, 60, 1)), Messages{msg(0xA0, 60, 1)});
  filter_.setTransposition(-5);
  EXPECT_EQ(send(msg(0x90, 3, 100)), Messages{msg(0x90, 0, 100)});
}

// --- bank select settings ---

TEST_F(OutputFilterTest, DisabledBankSelectsAreDroppedButStillRecorded) {
  s_.disableBankSelectLSB = 1;
  EXPECT_TRUE(send(msg(0xB0, 32, 1)).empty());
  EXPECT_EQ(send(msg(0xB0, 0, 1)), Messages{msg(0xB0, 0, 1)});
  s_.disableBankSelectLSB = 0;
  s_.disableBankSelectMSB = 1;
  EXPECT_TRUE(send(msg(0xB0, 0, 2)).empty());
  EXPECT_EQ(send(msg(0xB0, 32, 1)), Messages{msg(0xB0, 32, 1)});
  EXPECT_EQ(filter_.record(0, 0).bankMSB, 2);
  EXPECT_EQ(filter_.record(0, 0).bankLSB, 1);
}

TEST_F(OutputFilterTest, MapSelectSendsItsBankOnceBeforeAProgram) {
  s_.mapSelect = 3;
  EXPECT_EQ(send(msg(0xC0, 1)), (Messages{msg(0xB0, 32, 3), msg(0xC0, 1)}));
  EXPECT_EQ(filter_.record(0, 0).bankLSB, 3);
  EXPECT_EQ(send(msg(0xC0, 2)), (Messages{msg(0xB0, 32, 3), msg(0xC0, 2)}));  // no LSB was marked
  EXPECT_EQ(send(msg(0xBF, 32, 0)), Messages{msg(0xBF, 32, 3)});
  EXPECT_TRUE(filter_.record(0, 15).lsbSent);
  EXPECT_EQ(send(msg(0xCF, 127)), Messages{msg(0xCF, 127)});
  EXPECT_EQ(send(msg(0xBE, 32, 5)), Messages{msg(0xBE, 32, 5)});  // non-zero LSBs pass
}

TEST_F(OutputFilterTest, DefaultBankLSBFillsZeroAndMarksWhatWasSent) {
  s_.defaultBankSelectLSB = 2;
  EXPECT_EQ(send(msg(0xB2, 32, 0)), Messages{msg(0xB2, 32, 2)});
  EXPECT_TRUE(filter_.record(0, 2).lsbSent);
  EXPECT_EQ(send(msg(0xB2, 32, 5)), Messages{msg(0xB2, 32, 5)});
  EXPECT_EQ(send(msg(0xB2, 0, 0)), Messages{msg(0xB2, 0, 0)});
  // The marker keeps a later map select from sending its own LSB.
  s_.mapSelect = 4;
  EXPECT_EQ(send(msg(0xC2, 1)), Messages{msg(0xC2, 1)});
}

TEST_F(OutputFilterTest, ProgramChangeCanGrowToFourMessages) {
  s_.mapSelect = 3;
  setPatch(0, {9, 0xFF, 0xFF, 0}, {10, 1, 2, 0});
  EXPECT_EQ(send(msg(0xC0, 9)), (Messages{msg(0xB0, 32, 2), msg(0xB0, 0, 1), msg(0xB0, 32, 3), msg(0xC0, 10)}));
}

// --- GS parameters ---

TEST_F(OutputFilterTest, BendRangeBecomesControllersOnlyForConvertingModules) {
  GSParameter p = filter_.gsParameter(0, 0x402110, 66);  // part 1 = channel 1
  EXPECT_EQ(p.kind, Kind::BendRange);
  EXPECT_TRUE(p.controllers.empty());
  s_.gsToXGEmu = 1;
  p = filter_.gsParameter(0, 0x402110, 66);
  EXPECT_EQ(controllers(p), (Messages{msg(0xB0, 100, 0), msg(0xB0, 101, 0), msg(0xB0, 6, 2)}));
  s_.gsToXGEmu = 0;
  s_.gsToGMEmu = 1;
  p = filter_.gsParameter(0, 0x402010, 10);  // part 0 = channel 10; below 64 gives 0
  EXPECT_EQ(controllers(p), (Messages{msg(0xB9, 100, 0), msg(0xB9, 101, 0), msg(0xB9, 6, 0)}));
}

TEST_F(OutputFilterTest, UseForRhythmSetsThePartsMode) {
  const GSParameter p = filter_.gsParameter(1, 0x401F15, 2);  // part F = channel 16
  EXPECT_EQ(p.kind, Kind::UseForRhythm);
  EXPECT_EQ(p.channel, 15);
  EXPECT_EQ(filter_.record(1, 15).rhythm, 2);
  EXPECT_EQ(filter_.record(0, 15).rhythm, 0);
  filter_.gsParameter(1, 0x401A15, 1);  // part A = channel 11
  EXPECT_EQ(filter_.record(1, 10).rhythm, 1);
  filter_.gsParameter(1, 0x401015, 0);
  EXPECT_EQ(filter_.record(1, 9).rhythm, 0);
}

TEST_F(OutputFilterTest, PartPanAndReset) {
  GSParameter p = filter_.gsParameter(0, 0x40131C, 20);  // part 3 = channel 3
  EXPECT_EQ(p.kind, Kind::PartPan);
  EXPECT_EQ(p.channel, 2);
  EXPECT_TRUE(p.controllers.empty());
  s_.gsToGMEmu = 1;
  EXPECT_EQ(controllers(filter_.gsParameter(0, 0x40131C, 20)), Messages{msg(0xB2, 10, 20)});
  EXPECT_EQ(filter_.gsParameter(0, 0x40007F, 0).kind, Kind::Reset);
  EXPECT_EQ(filter_.gsParameter(0, 0x40057F, 0).kind, Kind::Reset);  // the part nibble is ignored
}

TEST_F(OutputFilterTest, ReceiveChannelNamesThePartTableOfPortsAAndB) {
  GSParameter p = filter_.gsParameter(0, 0x401402, 7);
  EXPECT_EQ(p.kind, Kind::ReceiveChannel);
  EXPECT_EQ(p.tablePort, 0);
  EXPECT_EQ(p.channel, 3);
  p = filter_.gsParameter(0, 0x501402, 7);
  EXPECT_EQ(p.kind, Kind::ReceiveChannel);
  EXPECT_EQ(p.tablePort, 1);
  p = filter_.gsParameter(1, 0x501402, 7);
  EXPECT_EQ(p.tablePort, 0);
  EXPECT_EQ(filter_.gsParameter(2, 0x401402, 7).kind, Kind::Other);
}

TEST_F(OutputFilterTest, PatchNameAndPartPortAddresses) {
  GSParameter p = filter_.gsParameter(0, 0x40010F, 'A');
  EXPECT_EQ(p.kind, Kind::PatchName);
  EXPECT_EQ(p.position, 15);
  EXPECT_EQ(filter_.gsParameter(0, 0x400110, 'A').kind, Kind::Other);
  p = filter_.gsParameter(0, 0x000110, 1);  // block B, part 0 = channel 10
  EXPECT_EQ(p.kind, Kind::PartPort);
  EXPECT_EQ(p.tablePort, 1);
  EXPECT_EQ(p.channel, 9);
  p = filter_.gsParameter(0, 0x000101, 1);  // block A, part 1 = channel 1
  EXPECT_EQ(p.tablePort, 0);
  EXPECT_EQ(p.channel, 0);
  EXPECT_EQ(filter_.gsParameter(0, 0x000120, 1).kind, Kind::Other);
  EXPECT_EQ(filter_.gsParameter(0, 0x401030, 1).kind, Kind::Other);
}

}  // namespace
}  // namespace volta::engine
