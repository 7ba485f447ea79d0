#include "player/monitor/monitor_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace volta::monitor {
namespace {

std::string chord(std::initializer_list<std::uint8_t> notes, int key = 0) {
  return chordText(std::span<const std::uint8_t>(notes.begin(), notes.size()), key);
}

TEST(MonitorHeaderTexts, TempoTimeBaseMeterAndKey) {
  EXPECT_EQ(bpmText(500000), "120");
  EXPECT_EQ(bpmText(1'000'000), "60 ");
  EXPECT_EQ(bpmText(0), "0  ");
  EXPECT_EQ(timeBaseText(48), "48  ");
  EXPECT_EQ(meterText(3, 4), " 3/4 ");
  EXPECT_EQ(keyText(9), " F Major");
  EXPECT_EQ(keyText(27), " C Minor");
  EXPECT_EQ(keyText(6), "F# Major");
  EXPECT_EQ(keyText(40), "   Minor");
}

TEST(MonitorHeaderTexts, TranspositionSignThenLeftAlignedMagnitude) {
  EXPECT_EQ(transpositionText(3), "+3 ");
  EXPECT_EQ(transpositionText(-12), "-12");
  EXPECT_EQ(transpositionText(0), " 0 ");
}

TEST(MonitorNumbers, SignedAndUnsigned) {
  EXPECT_EQ(signedNumber(-5, 2), "-05");
  EXPECT_EQ(signedNumber(63, 2), "+63");
  EXPECT_EQ(signedNumber(0, 2), " 00");
  EXPECT_EQ(unsignedNumber(7, 3), "007");
}

TEST(KeyTonic, NamesToPitchClasses) {
  EXPECT_EQ(keyTonic(0), 0);
  EXPECT_EQ(keyTonic(9), 5);    // F
  EXPECT_EQ(keyTonic(16), 9);   // A minor
  EXPECT_EQ(keyTonic(15), 11);  // Cb
}

TEST(ChordNames, MajorTriadOnTheTonic) {
  EXPECT_EQ(chord({60, 64, 67}),
            "\x14"
            "C ");
}

TEST(ChordNames, ReadingsWithoutTensionsComeFirst) {
  EXPECT_EQ(chord({60, 64, 67, 70}),
            "\x13"
            "C7 \x18"
            "Em(-5)(-13) ");
}

TEST(ChordNames, InversionsAndOctavesNameTheSameRoot) {
  EXPECT_EQ(chord({52, 55, 72}), chord({60, 64, 67}));
  EXPECT_EQ(chord({67, 72, 76, 0x80}), chord({60, 64, 67}));
}

TEST(ChordNames, DegreeMarksFollowTheKey) {
  // G major in C: the dominant; in G: the tonic.
  EXPECT_EQ(chord({67, 71, 74}, 0),
            "\x12"
            "G ");
  EXPECT_EQ(chord({67, 71, 74}, 1),
            "\x14"
            "G ");
  // A minor in A minor (key 16).
  EXPECT_EQ(chord({69, 72, 76}, 16),
            "\x14"
            "Am ");
}

TEST(ChordNames, FewerThanThreeNotesOrUnexplainedNotesGiveNothing) {
  EXPECT_EQ(chord({}), "");
  EXPECT_EQ(chord({60}), "");
  EXPECT_EQ(chord({60, 64}), "");
  EXPECT_EQ(chord({0x80, 0x80}), "");
  EXPECT_EQ(chord({60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71}), "");
}

}  // namespace
}  // namespace volta::monitor
