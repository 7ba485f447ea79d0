#include "engine/output_filter.h"

#include <algorithm>
#include <utility>

namespace volta::engine {
namespace {

using protocol::kChannelsPerPort;
using protocol::kPorts;

constexpr std::uint8_t kAny = 0xFF;

constexpr std::uint32_t kGSBendRange = 0x402010;
constexpr std::uint32_t kGSUseForRhythm = 0x401015;
constexpr std::uint32_t kGSPartPan = 0x40101C;
constexpr std::uint32_t kGSReceiveChannel = 0x401002;
constexpr std::uint32_t kGSReceiveChannelOtherPort = 0x501002;
constexpr std::uint32_t kGSPatchName = 0x400100;
constexpr std::uint32_t kGSPartPort = 0x000100;

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

// The part-table entries of the other addresses: patch name characters and part ports.
GSParameter gsBlockParameter(std::uint32_t address) {
  GSParameter p;
  if (address >= kGSPatchName && address < kGSPatchName + 16) {
    p.kind = GSParameter::Kind::PatchName;
    p.position = static_cast<int>(address & 0x0F);
  } else if (address >= kGSPartPort && address < kGSPartPort + 32) {
    // The low nibble names the part, the next one the block (A or B).
    p.kind = GSParameter::Kind::PartPort;
    p.tablePort = static_cast<int>((address >> 4) & 1);
    p.channel = gsPartChannel(address & 0x0F);
  }
  return p;
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

// --- the filter ---

OutputFilter::OutputFilter(const protocol::OutputSettings& settings) : settings_(settings) {
  reset();
}

void OutputFilter::reset() {
  for (auto& port : records_) {
    port.fill(ChannelRecord{});
    port[kRhythmChannel].rhythm = 1;
  }
}

// The steps in their order; a dropped message keeps what the steps before added.
FilterResult OutputFilter::filter(int port, ShortMessage m) {
  FilterResult result;
  if (port < 0 || port >= kPorts || m.status < 0x80) return result;
  if (m.status < 0xF0) {
    const int channel = m.channel();
    auto& record = records_[port][channel];
    if (m.isNote() && muted_[port * kChannelsPerPort + channel]) return result;
    if (!routeDrums(record, m)) return result;
    emulateXGDrumBank(channel, record, m, result);
    recordBank(record, m);
    if (m.kind() == 0xC0) mapPatch(record, m, result);
    mapNote(record, m);
    scaleAndTranspose(record, m);
    if (!applyBankSettings(record, m, result)) return result;
  }
  result.messages.push(m.pack());
  return result;
}

// A module without GS or XG drum parts hears every drum part on channel 10.
bool OutputFilter::routeDrums(const ChannelRecord& record, ShortMessage& m) const {
  if (!settings_.gsToGMEmu && !settings_.xgToGMEmu) return true;
  if (record.rhythm == 2 && !m.isNote()) return false;
  if (record.rhythm == 1 || record.rhythm == 2) m.moveToChannel(kRhythmChannel);
  return true;
}

// An XG drum bank (MSB 127) becomes a GS rhythm part or, for GM, a second drum channel.
void OutputFilter::emulateXGDrumBank(int channel, ChannelRecord& record, ShortMessage& m, FilterResult& result) const {
  const auto& s = settings_;
  if (m.isController(0) && m.data2 == 127) {
    if (!s.xgToGMEmu && s.xgToGSEmu) {
      record.rhythm = 2;
      const std::uint8_t map = channel == kRhythmChannel ? 1 : 2;
      const std::uint32_t address = kGSUseForRhythm | static_cast<std::uint32_t>(gsPartNibble(channel)) << 8;
      result.exclusiveLength = rolandExclusive(kGSModel, address, {&map, 1}, result.exclusiveBytes);
      m.data2 = 0;
    }
    if (s.xgToGMEmu) {
      if (record.rhythm == 0) record.rhythm = 2;
      m.data2 = 0;
    }
  }
  if (m.isController(94) && s.xgToGSEmu) m.data2 /= 4;
}

void OutputFilter::recordBank(ChannelRecord& record, const ShortMessage& m) {
  if (m.isController(0)) {
    record.bankMSB = m.data2;
  } else if (m.isController(32)) {
    record.bankLSB = m.data2 & 0x7F;
  } else if (m.kind() == 0xC0 && record.rhythm != 0) {
    record.bankMSB = m.data1;  // the drum set
  }
}

void OutputFilter::mapPatch(const ChannelRecord& record, ShortMessage& m, FilterResult& result) const {
  const bool rhythm = record.rhythm != 0;
  const auto* entry = findPatch(settings_, {m.data1, record.bankMSB, record.bankLSB, rhythm});
  if (!entry || (entry->replacement[3] != 0) != rhythm) return;
  const std::uint8_t program = entry->replacement[0], msb = entry->replacement[1], lsb = entry->replacement[2];
  if (lsb != kAny) result.messages.push(controllerMessage(m.channel(), 32, lsb));
  if (msb != kAny) result.messages.push(controllerMessage(m.channel(), 0, msb));
  if (program != kAny) m.data1 = program;
}

void OutputFilter::mapNote(const ChannelRecord& record, ShortMessage& m) const {
  if (!m.isNote() || record.rhythm == 0) return;
  if (const auto* entry = findNote(settings_, m.data1, record.bankMSB)) m.data1 = entry->replacement[0];
}

void OutputFilter::scaleAndTranspose(const ChannelRecord& record, ShortMessage& m) const {
  const int master = masterVolume_;
  if (m.isController(7) && master != kMasterVolumeOff) m.data2 = static_cast<std::uint8_t>(m.data2 * master / 127);
  const int transposition = transposition_;
  if (m.isNote() && record.rhythm == 0 && transposition != 0) {
    m.data1 = static_cast<std::uint8_t>(std::clamp(m.data1 + transposition, 0, 127));
  }
}

bool OutputFilter::applyBankSettings(ChannelRecord& record, ShortMessage& m, FilterResult& result) const {
  const auto& s = settings_;
  if ((m.isController(32) && s.disableBankSelectLSB) || (m.isController(0) && s.disableBankSelectMSB)) return false;
  if (const std::uint8_t map = s.mapSelect; map != 0) {
    if (m.isController(32) && m.data2 == 0) {
      m.data2 = map;
      record.lsbSent = true;
    } else if (m.kind() == 0xC0) {
      if (!record.lsbSent) result.messages.push(controllerMessage(m.channel(), 32, map));
      record.bankLSB = map;
    }
  }
  if (const std::uint8_t lsb = s.defaultBankSelectLSB; lsb != 0 && m.isController(32)) {
    if (m.data2 == 0) m.data2 = lsb;
    record.lsbSent = m.data2 != 0;
  }
  return true;
}

// --- GS parameters ---

GSParameter OutputFilter::gsParameter(int port, std::uint32_t address, std::uint8_t value) {
  const int channel = gsPartChannel((address >> 8) & 0x0F);
  const bool convert = settings_.gsToGMEmu || settings_.gsToXGEmu;
  GSParameter p;
  p.channel = channel;
  switch (address & ~0xF00u) {
    case kGSBendRange:
      if (convert) {
        for (auto [number, data] : {std::pair{100, 0}, {101, 0}, {6, std::max(0, value - 64)}})
          p.controllers.push(controllerMessage(channel, number, data));
      }
      p.kind = GSParameter::Kind::BendRange;
      return p;
    case kGSUseForRhythm:
      if (port >= 0 && port < kPorts) records_[port][channel].rhythm = value;
      p.kind = GSParameter::Kind::UseForRhythm;
      return p;
    case kGSReset:
      p.kind = GSParameter::Kind::Reset;
      return p;
    case kGSPartPan:
      if (convert) p.controllers.push(controllerMessage(channel, 10, value));
      p.kind = GSParameter::Kind::PartPan;
      return p;
    case kGSReceiveChannel:
    case kGSReceiveChannelOtherPort:
      // Only ports A and B have part tables.
      if (port == 0 || port == 1) {
        p.kind = GSParameter::Kind::ReceiveChannel;
        p.tablePort = (address & ~0xF00u) == kGSReceiveChannel ? port : 1 - port;
      }
      return p;
    default:
      return gsBlockParameter(address);
  }
}

}  // namespace volta::engine
