#include "engine/output_filter.h"

#include <algorithm>

namespace volta::engine {
namespace {

constexpr std::uint8_t kAny = 0xFF;
constexpr int kRhythmChannel = 9;

bool matchesPatch(const std::uint8_t* k, const PatchKey& key) {
  const bool anyProgram = k[0] == kAny, anyMSB = k[1] == kAny, anyLSB = k[2] == kAny;
  const bool program = k[0] == key.program, msb = k[1] == key.bankMSB, lsb = k[2] == key.bankLSB;
  return (anyMSB && anyLSB && anyProgram) || (anyMSB && lsb && (program || anyProgram)) ||
         (anyLSB && msb && (program || anyProgram)) || (anyMSB && anyLSB && program) ||
         (program && msb && lsb && (k[3] != 0) == key.rhythm);
}

// The player writes the counts; one beyond the table must not read past it.
template <std::size_t N>
std::span<const protocol::MapEntry> usedEntries(const protocol::MapEntry (&table)[N], std::uint16_t count) {
  return {table, std::min<std::size_t>(count, N)};
}

}  // namespace

int gsPartChannel(int partNibble) {
  if (partNibble == 0) return kRhythmChannel;
  return partNibble <= 9 ? partNibble - 1 : partNibble;
}

int gsPartNibble(int channel) {
  if (channel == kRhythmChannel) return 0;
  return channel < kRhythmChannel ? channel + 1 : channel;
}

const protocol::MapEntry* findPatch(const protocol::OutputSettings& settings, const PatchKey& key) {
  for (const auto& entry : usedEntries(settings.patchMap, settings.patchMapCount)) {
    if (matchesPatch(entry.key, key)) return &entry;
  }
  return nullptr;
}

const protocol::MapEntry* findNote(const protocol::OutputSettings& settings, std::uint8_t note, std::uint8_t drumSet) {
  const std::uint8_t key[4] = {note, drumSet, 0, 0};
  for (const auto& entry : usedEntries(settings.noteMap, settings.noteMapCount)) {
    if (std::equal(key, key + 4, entry.key)) return &entry;
  }
  return nullptr;
}

std::size_t rolandExclusive(std::uint8_t model, std::uint32_t address, std::span<const std::uint8_t> data,
                            std::span<std::uint8_t> out) {
  const std::size_t length = data.size() + 10;
  if (out.size() < length) return 0;
  const std::uint8_t head[] = {0xF0,
                               0x41,
                               0x10,
                               model,
                               0x12,
                               static_cast<std::uint8_t>(address >> 16),
                               static_cast<std::uint8_t>(address >> 8),
                               static_cast<std::uint8_t>(address)};
  std::copy(std::begin(head), std::end(head), out.begin());
  std::copy(data.begin(), data.end(), out.begin() + 8);
  unsigned sum = 0;
  for (std::size_t i = 5; i < 8 + data.size(); ++i)
    sum += out[i];
  out[length - 2] = static_cast<std::uint8_t>((128 - sum % 128) % 128);
  out[length - 1] = 0xF7;
  return length;
}

}  // namespace volta::engine
