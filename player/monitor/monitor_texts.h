#pragma once
// The texts of the performance monitor: header values, the signed and unsigned
// numbers of the rows, and the chord names the sounding notes form.

#include <cstdint>
#include <span>
#include <string>

namespace volta::monitor {

// Beats per minute from microseconds per quarter note, "%-3d"; 0 for no tempo.
std::string bpmText(std::uint32_t tempo);
std::string timeBaseText(int timeBase);
std::string meterText(int numerator, int denominator);
// Key value: bits 0-2 accidentals, bit 3 flats, bit 4 minor; "%2s %s".
std::string keyText(int key);
// The pitch class of the key's tonic (C = 0).
int keyTonic(int key);
// "%c%-2d": "+3", "-12", " 0".
std::string transpositionText(int semitones);
// Signed: "-", "+" or a space, then the magnitude zero-padded to `digits`.
std::string signedNumber(int value, int digits);
std::string unsignedNumber(int value, int digits);

// Degree marks are codes of the monitor's symbol font.
inline constexpr char kMarkTonic = 0x14, kMarkOutside = 0x18, kMarkSecondaryDominant = 0x13;

// Every reading of the sounding notes as a chord, each "mark root quality(tensions) ";
// the readings without tensions come first. Slots holding 0x80 are empty.
std::string chordText(std::span<const std::uint8_t> notes, int key);

}  // namespace volta::monitor
