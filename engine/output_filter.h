#pragma once
// The pure pieces of the output's filter path: short-message packing, the GS part
// numbering, the patch and note map look-ups and the Roland exclusive builder.

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/protocol/records.h"

namespace volta::engine {

// A channel or system message as the platform packs it: status | data1 << 8 | data2 << 16.
struct ShortMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;

  static ShortMessage unpack(std::uint32_t message) {
    return {static_cast<std::uint8_t>(message), static_cast<std::uint8_t>(message >> 8),
            static_cast<std::uint8_t>(message >> 16)};
  }
  static ShortMessage controller(int channel, int number, int value) {
    return {static_cast<std::uint8_t>(0xB0 | channel), static_cast<std::uint8_t>(number),
            static_cast<std::uint8_t>(value)};
  }
  std::uint32_t pack() const { return status | data1 << 8 | data2 << 16; }
  int kind() const { return status & 0xF0; }
  int channel() const { return status & 0x0F; }
  bool isNote() const { return kind() == 0x80 || kind() == 0x90; }
  bool isController(int number) const { return kind() == 0xB0 && data1 == number; }
  void moveToChannel(int channel) { status = static_cast<std::uint8_t>(kind() | channel); }
};

// GS parts are numbered 1-9, 0 (the rhythm part on channel 10), A-F.
int gsPartChannel(int partNibble);
int gsPartNibble(int channel);

struct PatchKey {
  std::uint8_t program;
  std::uint8_t bankMSB;
  std::uint8_t bankLSB;
  bool rhythm;
};

// The first patch map entry whose key matches, or nullptr.
const protocol::MapEntry* findPatch(const protocol::OutputSettings& settings, const PatchKey& key);
// The note map entry for a note of a drum set, or nullptr.
const protocol::MapEntry* findNote(const protocol::OutputSettings& settings, std::uint8_t note, std::uint8_t drumSet);

// Writes F0 41 10 model 12 address data checksum F7 into out; returns the length, or
// 0 when out is too small.
std::size_t rolandExclusive(std::uint8_t model, std::uint32_t address, std::span<const std::uint8_t> data,
                            std::span<std::uint8_t> out);

}  // namespace volta::engine
