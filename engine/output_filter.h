#pragma once
// The output's filter path without ports, queues or shared records: what a channel
// message becomes under the output settings (mutes, drum routing, drum bank
// emulation, patch and note maps, master volume, transposition, bank select rules),
// what a GS parameter asks of the output, and the per-channel bank bookkeeping that
// this needs.

#include <array>
#include <atomic>
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

inline constexpr int kRhythmChannel = 9;

// The GS model byte, and the GS reset address that both the exclusive path and the
// parameter handler recognise.
inline constexpr std::uint8_t kGSModel = 0x42;
inline constexpr std::uint32_t kGSReset = 0x40007F;

// A packed controller message.
inline std::uint32_t controllerMessage(int channel, int number, int value) {
  return ShortMessage::controller(channel, number, value).pack();
}

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

// A few short messages in sending order, kept without allocation.
class ShortMessages {
 public:
  // The most the filter makes of one message: a program change preceded by the patch
  // map's bank LSB and MSB and the map select's LSB.
  static constexpr std::size_t kCapacity = 4;

  void push(std::uint32_t message) { items_[size_++] = message; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const std::uint32_t* begin() const { return items_.data(); }
  const std::uint32_t* end() const { return items_.data() + size_; }

 private:
  // Not cleared: one is built for every message, and only the first size_ are read.
  std::array<std::uint32_t, kCapacity> items_;
  std::size_t size_ = 0;
};

// What one channel message becomes, in sending order: the exclusive first (a drum
// bank turned into a GS rhythm part), then the short messages, the filtered message
// itself last unless the filter dropped it.
struct FilterResult {
  static constexpr std::size_t kExclusiveCapacity = 11;

  std::span<const std::uint8_t> exclusive() const { return {exclusiveBytes.data(), exclusiveLength}; }

  // Not cleared, like the messages: only the first exclusiveLength are read.
  std::array<std::uint8_t, kExclusiveCapacity> exclusiveBytes;
  std::size_t exclusiveLength = 0;
  ShortMessages messages;
};

// A GS parameter as the output acts on it: what it addresses, and the controllers
// that stand in for it on modules without GS parts, which take the filter path in turn.
struct GSParameter {
  enum class Kind : std::uint8_t {
    Other,           // nothing to do
    BendRange,       // controllers only
    UseForRhythm,    // the part's rhythm mode = value
    Reset,           // GS reset seen = (value != 0x7F)
    PartPan,         // the part's pan = value
    ReceiveChannel,  // channel byte of the part-table entry (tablePort, channel) = value
    PatchName,       // patch name character at position = value
    PartPort,        // port byte of the part-table entry (tablePort, channel) = value
  };

  Kind kind = Kind::Other;
  int channel = 0;    // the addressed part's channel
  int tablePort = 0;  // the part-table block (port A or B)
  int position = 0;   // the patch name character
  ShortMessages controllers;
};

// What the filter remembers per channel of a port.
struct ChannelRecord {
  std::uint8_t bankMSB = 0;  // the drum set on rhythm channels
  std::uint8_t bankLSB = 0;
  bool lsbSent = false;
  std::uint8_t rhythm = 0;  // 0 melodic, 1 drum, 2 second drum
};

// The filter of one output. Reads the settings on every message, so the player's
// changes act at once; mutes, master volume and transposition may be set from
// another thread than the one filtering.
class OutputFilter {
 public:
  static constexpr int kMasterVolumeOff = 127;

  explicit OutputFilter(const protocol::OutputSettings& settings);

  // Bank records cleared, channel 10 of every port a drum channel.
  void reset();
  // A channel message (status 0x80-0xEF) takes the filter path; a system message
  // passes as it is; data bytes and ports outside 0..2 give nothing.
  FilterResult filter(int port, ShortMessage message);
  GSParameter gsParameter(int port, std::uint32_t address, std::uint8_t value);

  // Records a bank MSB sent around the filter (the MT-32 layout of a port reset).
  void recordBankMSB(int port, int channel, std::uint8_t msb) { records_[port][channel].bankMSB = msb; }
  const ChannelRecord& record(int port, int channel) const { return records_[port][channel]; }

  // index = port x 16 + channel.
  void setMuted(int index, bool muted) { muted_[index] = muted; }
  int masterVolume() const { return masterVolume_; }
  void setMasterVolume(int volume) { masterVolume_ = volume; }
  int transposition() const { return transposition_; }
  void setTransposition(int semitones) { transposition_ = semitones; }

 private:
  using Records = std::array<ChannelRecord, protocol::kChannelsPerPort>;

  bool routeDrums(const ChannelRecord& record, ShortMessage& m) const;
  void emulateXGDrumBank(int channel, ChannelRecord& record, ShortMessage& m, FilterResult& result) const;
  static void recordBank(ChannelRecord& record, const ShortMessage& m);
  void mapPatch(const ChannelRecord& record, ShortMessage& m, FilterResult& result) const;
  void mapNote(const ChannelRecord& record, ShortMessage& m) const;
  void scaleAndTranspose(const ChannelRecord& record, ShortMessage& m) const;
  bool applyBankSettings(ChannelRecord& record, ShortMessage& m, FilterResult& result) const;

  const protocol::OutputSettings& settings_;
  std::array<Records, protocol::kPorts> records_{};
  std::array<std::atomic<bool>, protocol::kPorts * protocol::kChannelsPerPort> muted_{};
  std::atomic<std::int32_t> masterVolume_{kMasterVolumeOff};
  std::atomic<std::int32_t> transposition_{0};
};

}  // namespace volta::engine
