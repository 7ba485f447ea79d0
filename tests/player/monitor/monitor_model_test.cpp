#include "player/monitor/monitor_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace volta::monitor {
namespace {

protocol::ChannelState quietChannel() {
  protocol::ChannelState c{};
  c.volume = 100;
  c.pan = 64;
  c.expression = 127;
  c.pitchBend = 8192;
  c.cutoff = c.resonance = c.attack = c.decay = c.release = 64;
  c.vibratoRate = c.vibratoDepth = c.vibratoDelay = 64;
  std::memset(c.notes, protocol::kEmptyNoteSlot, sizeof c.notes);
  return c;
}

InstrumentResolver countingResolver(int& calls) {
  return [&calls](const InstrumentKey& key) {
    ++calls;
    return InstrumentNames{"Prog " + std::to_string(key.program + 1), "SC", key.bankMsb, BankType::kMsb};
  };
}

TEST(MonitorRow, ValuesAreCentredAndPedalsSwitchAt64) {
  protocol::ChannelState c = quietChannel();
  c.pan = 0;
  c.pitchBend = 16383;
  c.cutoff = 127;
  c.hold = 64;
  c.soft = 63;
  MonitorRow row;
  int calls = 0;
  row.update(&c, 0, countingResolver(calls));
  EXPECT_EQ(row.text(kPan), "-64");
  EXPECT_EQ(row.text(kPitchBend), "+8191");
  EXPECT_EQ(row.text(kCutoff), "+63");
  EXPECT_EQ(row.text(kResonance), " 00");
  EXPECT_EQ(row.text(kVolume), "100");
  EXPECT_EQ(row.text(kHold), "1");
  EXPECT_EQ(row.text(kSoft), "0");
  EXPECT_EQ(row.text(kProgram), "001");
  EXPECT_EQ(row.text(kName), "Prog 1");
}

TEST(MonitorRow, InstrumentIsLookedUpOnlyWhenBankProgramOrRhythmChange) {
  protocol::ChannelState c = quietChannel();
  MonitorRow row;
  int calls = 0;
  const InstrumentResolver resolve = countingResolver(calls);
  row.update(&c, 0, resolve);
  c.volume = 20;
  const RowChanges changed = row.update(&c, 0, resolve);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(changed[kVolume]);
  EXPECT_FALSE(changed[kName]);
  c.rhythm = 1;
  row.update(&c, 0, resolve);
  c.program = 5;
  EXPECT_TRUE(row.update(&c, 0, resolve)[kName]);
  EXPECT_EQ(calls, 3);
}

TEST(MonitorRow, OnlyChangedItemsAreReported) {
  protocol::ChannelState c = quietChannel();
  MonitorRow row;
  int calls = 0;
  row.update(&c, 0, countingResolver(calls));
  EXPECT_TRUE(row.update(&c, 0, countingResolver(calls)).none());
  c.notes[0] = 60;
  c.notes[1] = 64;
  c.notes[2] = 67;
  const RowChanges changed = row.update(&c, 0, countingResolver(calls));
  EXPECT_TRUE(changed[kKeyboard]);
  EXPECT_TRUE(changed[kChord]);
  EXPECT_EQ(changed.count(), 2u);
  EXPECT_EQ(row.chord(),
            "\x14"
            "C ");
  EXPECT_EQ(row.foldedKeys().to_ulong(), (1u << 0) | (1u << 4) | (1u << 7));
}

TEST(MonitorRow, WithoutARecordEverythingClearsAndNoName) {
  protocol::ChannelState c = quietChannel();
  MonitorRow row;
  int calls = 0;
  row.update(&c, 0, countingResolver(calls));
  row.update(nullptr, 0, countingResolver(calls));
  EXPECT_EQ(row.value(kVolume), 0);
  EXPECT_EQ(row.text(kName), "");
  EXPECT_EQ(row.text(kBank), "");
}

TEST(MonitorRow, NoResolverGivesTheDashes) {
  protocol::ChannelState c = quietChannel();
  MonitorRow row;
  row.update(&c, 0, nullptr);
  EXPECT_EQ(row.text(kName), "-------------");
}

TEST(SliderBar, ZeroPointAndClamping) {
  EXPECT_EQ(sliderBar(0, {-64, 63}, 127), (BarSpan{64, 64}));  // pan 64: no bar
  EXPECT_EQ(sliderBar(0, {-8192, 8191}, 60).from, sliderBar(0, {-8192, 8191}, 60).to);
  EXPECT_EQ(sliderBar(-64, {-64, 63}, 127), (BarSpan{0, 64}));
  EXPECT_EQ(sliderBar(500, {0, 127}, 127), (BarSpan{0, 127}));
  EXPECT_EQ(sliderBar(0, {0, 127}, 127), (BarSpan{0, 0}));
}

TEST(ControlMessages, EveryItemKind) {
  using V = std::vector<std::uint32_t>;
  EXPECT_EQ(controlMessages(kProgram, 2, 5, 1, BankType::kNone), (V{0x0004C2}));
  EXPECT_EQ(controlMessages(kProgram, 2, 500, 1, BankType::kNone), (V{0x007FC2}));  // held to 128
  EXPECT_EQ(controlMessages(kBank, 0, 8, 3, BankType::kMsb), (V{0x0800B0, 0x0002C0}));
  EXPECT_EQ(controlMessages(kBank, 0, 8, 3, BankType::kLsb), (V{0x0820B0, 0x0002C0}));
  EXPECT_TRUE(controlMessages(kBank, 0, 8, 3, BankType::kNone).empty());
  EXPECT_EQ(controlMessages(kPitchBend, 1, 0, 1, BankType::kNone), (V{0x4000E1}));
  EXPECT_EQ(controlMessages(kPitchBend, 1, -8192, 1, BankType::kNone), (V{0x0000E1}));
  EXPECT_EQ(controlMessages(kPan, 0, -64, 1, BankType::kNone), (V{0x000AB0}));
  EXPECT_EQ(controlMessages(kVolume, 15, 127, 1, BankType::kNone), (V{0x7F07BF}));
  EXPECT_EQ(controlMessages(kHold, 0, 1, 1, BankType::kNone), (V{0x7F40B0}));
  EXPECT_EQ(controlMessages(kCutoff, 0, 10, 1, BankType::kNone), (V{0x0163B0, 0x2062B0, 0x4A06B0}));
}

TEST(MonitorHeader, NoteCountPeakHoldsForTwoAndAHalfSeconds) {
  protocol::OutputStatus output{};
  MonitorHeader header;
  output.soundingNotes = 100;
  header.update(nullptr, &output, 1000);
  output.soundingNotes = 40;
  header.update(nullptr, &output, 1050);
  EXPECT_EQ(header.texts().notes, "100");
  EXPECT_EQ(header.texts().noteSlider, 40);
  header.update(nullptr, &output, 3499);
  EXPECT_EQ(header.texts().notes, "100");
  header.update(nullptr, &output, 3500);
  EXPECT_EQ(header.texts().notes, "040");
  EXPECT_EQ(header.texts().notePeak, 40);
  header.update(nullptr, nullptr, 3550);
  EXPECT_EQ(header.texts().notes, "000");
  EXPECT_EQ(header.texts().noteSlider, 0);
}

TEST(MonitorHeader, SongTexts) {
  protocol::SequencerStatus song{};
  song.tempo = 500000;
  song.timeBase = 480;
  song.numerator = 6;
  song.denominator = 8;
  song.key = 27;
  MonitorHeader header;
  header.update(&song, nullptr, 0);
  header.setTransposition(-12);
  EXPECT_EQ(header.texts().bpm, "120");
  EXPECT_EQ(header.texts().timeBase, "480 ");
  EXPECT_EQ(header.texts().meter, " 6/8 ");
  EXPECT_EQ(header.texts().key, " C Minor");
  EXPECT_EQ(header.texts().transposition, "-12");
  EXPECT_EQ(header.key(), 27);
}

TEST(MonitorRows, VisibleRowsAndMuteBitsSharedByPortsAAndC) {
  EXPECT_EQ(visibleRows(66 + 21 * 10 + 5, 0).last, 9);
  EXPECT_EQ(visibleRows(66 + 21 * 60, 0).last, 47);
  EXPECT_EQ(visibleRows(66 + 21 * 10, 45).last, 47);
  EXPECT_LT(visibleRows(30, 0).last, visibleRows(30, 0).first);
  const std::uint32_t mask = toggleRowMute(0, 33);
  EXPECT_EQ(mask, 2u);
  EXPECT_TRUE(rowMuted(mask, 1));
  EXPECT_TRUE(rowMuted(mask, 33));
  EXPECT_FALSE(rowMuted(mask, 17));
}

}  // namespace
}  // namespace volta::monitor
