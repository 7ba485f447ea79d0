#include "engine/midi_output.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>

#include "platform/low_memory.h"

namespace volta::engine {
namespace {

using platform::midi::SendResult;
using protocol::kChannelsPerPort;
using protocol::kPorts;

constexpr int kAllChannels = kPorts * kChannelsPerPort;
constexpr int kMasterVolumeOff = OutputFilter::kMasterVolumeOff;
constexpr std::int32_t kPauseMs = 10;
// MIDI wire speed, 31250 baud, is a little over 3 bytes per millisecond.
constexpr std::uint32_t kBytesPerMs = 3;
constexpr std::size_t kExclusiveLimit = 16384;
constexpr std::uint8_t kDisplayModel = 0x45;
constexpr std::uint32_t kDisplayTextAddress = 0x100000;
constexpr char kGreeting[] = "Welcome to VOLTA Player";

// The GS system addresses the exclusive path recognises whole.
constexpr std::uint32_t kGSSystemMode = 0x00007F;
constexpr std::uint32_t kGS88ProSetting = 0x000003;

bool validPort(int port) {
  return port >= 0 && port < kPorts;
}

bool startsWith(const std::uint8_t* bytes, std::size_t count, std::initializer_list<std::uint8_t> prefix) {
  return count >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes);
}

// Index of the F7 that ends an exclusive, searched from the data; count when missing.
std::size_t terminatorIndex(const std::uint8_t* bytes, std::size_t count) {
  return static_cast<std::size_t>(std::find(bytes + std::min<std::size_t>(8, count), bytes + count, 0xF7) - bytes);
}

std::uint32_t addressAt(const std::uint8_t* bytes) {
  return bytes[5] << 16 | bytes[6] << 8 | bytes[7];
}

template <class Counter>
void increment(Counter& counter, int limit) {
  if (counter < limit) counter = static_cast<Counter>(counter + 1);
}

// The field of ChannelState that a controller or a selected NRPN stores into.
std::uint8_t* controllerField(protocol::ChannelState& s, int number) {
  switch (number) {
    case 7:
      return &s.volume;
    case 10:
      return &s.pan;
    case 32:
      return &s.bankLSB;
    case 0:
      return &s.bankMSB;
    case 1:
      return &s.modulation;
    case 11:
      return &s.expression;
    case 91:
      return &s.reverb;
    case 93:
      return &s.chorus;
    case 94:
      return &s.delay;
    case 64:
      return &s.hold;
    case 66:
      return &s.sostenuto;
    case 67:
      return &s.soft;
    default:
      return nullptr;
  }
}

std::uint8_t* nrpnField(protocol::ChannelState& s, std::uint16_t parameter) {
  switch (parameter) {
    case 0x0108:
      return &s.vibratoRate;
    case 0x0109:
      return &s.vibratoDepth;
    case 0x010A:
      return &s.vibratoDelay;
    case 0x0120:
      return &s.cutoff;
    case 0x0121:
      return &s.resonance;
    case 0x0163:
      return &s.attack;
    case 0x0164:
      return &s.decay;
    case 0x0166:
      return &s.release;
    default:
      return nullptr;
  }
}

void updateController(protocol::ChannelState& s, int number, std::uint8_t value) {
  const std::uint16_t selected = s.selectedParameter;
  if (std::uint8_t* field = controllerField(s, number)) {
    *field = value;
  } else if (number == 100 || number == 101) {
    s.selectedParameter = 0x7F7F;
  } else if (number == 98) {
    s.selectedParameter = static_cast<std::uint16_t>((selected & 0xFF00) | value);
  } else if (number == 99) {
    s.selectedParameter = static_cast<std::uint16_t>((selected & 0x00FF) | value << 8);
  } else if (number == 6) {
    if (std::uint8_t* field = nrpnField(s, selected)) *field = value;
  }
}

void setChannelDefaults(protocol::ChannelState& s, int channel) {
  s = protocol::ChannelState{};
  s.reserved2 = 0xFFFFFFFF;
  s.volume = 100;
  s.pan = 64;
  s.expression = 127;
  s.reverb = 40;
  for (std::uint8_t* nrpn :
       {&s.cutoff, &s.resonance, &s.attack, &s.decay, &s.release, &s.vibratoRate, &s.vibratoDepth, &s.vibratoDelay}) {
    *nrpn = 64;
  }
  s.pitchBend = 0x2000;
  s.rhythm = channel == kRhythmChannel ? 1 : 0;
  std::fill(std::begin(s.notes), std::end(s.notes), protocol::kEmptyNoteSlot);
}

// The controllers of a port reset, per channel: number, value, value in the MT-32 layout.
struct ResetController {
  std::uint8_t number, value, mt32Value;
};
constexpr ResetController kPortResetControllers[] = {
    {120, 0, 0},     {121, 0, 0}, {101, 0, 0}, {100, 0, 0}, {6, 2, 12},    {101, 0, 0},   {100, 1, 1},
    {6, 64, 64},     {38, 0, 0},  {101, 0, 0}, {100, 2, 2}, {6, 64, 64},   {38, 0, 0},    {100, 127, 127},
    {101, 127, 127}, {1, 0, 0},   {93, 0, 0},  {91, 0, 64}, {7, 100, 100}, {11, 127, 127}};
constexpr int kMT32PanOffset[kChannelsPerPort] = {0, -10, -10, -10, -10, -46, 27, -63, 63, 0, 0, 17, 0, 35, -37, -19};
constexpr std::uint8_t kMT32Program[kChannelsPerPort] = {0,   68,  48, 95, 78, 41, 3,  110,
                                                         122, 127, 27, 29, 0,  37, 13, 46};
constexpr int kResetModeMT32 = 2;

}  // namespace

// --- life cycle ---

MidiOutput::MidiOutput(protocol::OutputShared* shared)
    : shared_(shared), panel_(&shared->panel), filter_(shared->settings) {}

MidiOutput::~MidiOutput() {
  platform::freeLow(shared_);
}

MidiOutput* MidiOutput::open(const std::uint32_t* devices, int count) {
  auto* shared = static_cast<protocol::OutputShared*>(platform::allocateLow(sizeof(protocol::OutputShared)));
  void* memory = shared ? platform::allocateLow(sizeof(MidiOutput)) : nullptr;
  if (!memory) {
    platform::freeLow(shared);
    return nullptr;
  }
  auto* output = new (memory) MidiOutput(shared);
  for (int port = 0; port < std::min(count, kPorts); ++port) {
    output->ports_[port].device = platform::midi::openOutputDevice(devices[port], port);
    shared->status.portOpen[port] = output->ports_[port].device ? 1 : 0;
  }
  output->restoreDefaultSettings();
  output->reset();
  output->sendGreeting();
  output->flush(0);
  output->validity_ = protocol::kValidityWord;
  return output;
}

void MidiOutput::close(MidiOutput* output) {
  if (!output) return;
  output->validity_ = 0;
  output->allNotesOff();
  output->flush(0);
  output->reset();
  platform::deleteLow(output);
}

void MidiOutput::sendGreeting() {
  std::uint8_t bytes[sizeof kGreeting + 10];
  const auto text = std::span(reinterpret_cast<const std::uint8_t*>(kGreeting), sizeof kGreeting - 1);
  rawExclusive(0, bytes, rolandExclusive(kDisplayModel, kDisplayTextAddress, text, bytes), false);
}

void MidiOutput::restoreDefaultSettings() {
  auto& s = shared_->settings;
  s = protocol::OutputSettings{};
  s.drumTrack = kRhythmChannel;
  for (int port = 0; port < kPorts; ++port) {
    for (int channel = 0; channel < kChannelsPerPort; ++channel) {
      s.channelMap[port][channel][0] = static_cast<std::uint8_t>(port);
      s.channelMap[port][channel][1] = static_cast<std::uint8_t>(channel);
    }
  }
}

void MidiOutput::reset() {
  auto& status = shared_->status;
  std::memset(status.lyric, 0, sizeof status.lyric);
  status.lyricCounter = 0;
  status.reserved = status.gmOn = status.gsReset = status.xgOn = status.gsMode = 0;
  status.soundingNotes = 0;
  shared_->panel.reserved = 0;
  panel_.reset(meterMode_ == 0);
  {
    std::scoped_lock lock(flushMutex_, queueMutex_);
    for (auto& port : ports_) {
      port.queue.clear();
      port.debt = 0;
    }
    pause_ = 0;
  }
  filter_.reset();
  for (int port = 0; port < kPorts; ++port) {
    if (resetDevices_ && isOpen(port)) ports_[port].device->reset();
    for (int channel = 0; channel < kChannelsPerPort; ++channel)
      resetChannel(port, channel);
  }
  updatePending();
}

void MidiOutput::resetChannel(int port, int channel) {
  if (port < 2) {
    shared_->status.partTable[port][channel] = {static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(port)};
  }
  setChannelDefaults(channelState(port, channel), channel);
}

// --- raw sends and queues ---

bool MidiOutput::isOpen(int port) const {
  return validPort(port) && ports_[port].device != nullptr;
}

template <class Push>
void MidiOutput::enqueue(int port, Push push) {
  std::lock_guard lock(queueMutex_);
  if (push(ports_[port].queue)) shared_->status.outputPending = 1;
}

void MidiOutput::rawShort(int port, std::uint32_t message, bool forceQueue) {
  if (!isOpen(port)) return;
  if (!pace_ && !forceQueue) {
    ports_[port].device->sendShort(message);
    return;
  }
  enqueue(port, [message](OutputQueue& queue) { return queue.pushShort(message); });
}

void MidiOutput::rawExclusive(int port, const std::uint8_t* bytes, std::size_t count, bool forceQueue) {
  if (count == 0 || !isOpen(port)) return;
  if (!pace_ && !forceQueue) {
    if (count <= kExclusiveLimit) ports_[port].device->sendLong(bytes, count);
    return;
  }
  enqueue(port, [bytes, count](OutputQueue& queue) { return queue.pushExclusive(bytes, count); });
}

void MidiOutput::queueExclusive(int port, const std::uint8_t* bytes, std::size_t count) {
  rawExclusive(port, bytes, count, true);
}

void MidiOutput::queueShort(int port, std::uint32_t message) {
  rawShort(port, message, true);
}

void MidiOutput::queuePause(int port) {
  if (isOpen(port)) enqueue(port, [](OutputQueue& queue) { return queue.pushPause(); });
}

void MidiOutput::flush(std::uint32_t periodMs) {
  std::lock_guard flushing(flushMutex_);
  const auto period = static_cast<std::int32_t>(std::min<std::uint32_t>(periodMs, 1u << 20));
  if (pause_ > 0 && period != 0 && pause_ > period) {
    pause_ -= period;
    return;
  }
  pause_ = 0;
  for (auto& port : ports_) {
    if (pause_ > 0) break;
    if (port.device) flushPort(port, period);
  }
  updatePending();
}

// Sends one port's due entries without holding the queue lock while the device
// works; appends meanwhile land behind the entries being sent.
void MidiOutput::flushPort(Port& port, std::uint32_t periodMs) {
  const std::size_t allowance = kBytesPerMs * periodMs;
  const bool paced = pace_ && periodMs != 0;
  if (port.debt > 0 && paced) {
    port.debt = static_cast<std::int32_t>(std::max<std::int64_t>(0, port.debt - std::int64_t(allowance)));
    return;
  }
  port.debt = 0;
  std::size_t at, end;
  {
    std::lock_guard lock(queueMutex_);
    if (port.queue.empty()) {
      port.queue.clear();
      return;
    }
    at = port.queue.readIndex();
    end = port.queue.writeIndex();
  }
  const std::size_t budget = paced ? std::min(end - at, allowance) : end - at;
  std::size_t sent = 0;
  while (at < end && sent < budget && pause_ == 0) {
    const auto entry = port.queue.entryAt(at);
    if (entry.tag == OutputQueue::kShortTag) {
      port.device->sendShort(entry.message);
      sent += 3;
    } else if (entry.tag == OutputQueue::kExclusiveTag) {
      // A device that is not ready keeps the exclusive at the head for the next flush.
      if (port.device->sendLong(entry.bytes, entry.count) == SendResult::NotReady) break;
      sent += entry.count;
    } else {
      pause_ = kPauseMs;
    }
    at += entry.size;
  }
  {
    std::lock_guard lock(queueMutex_);
    port.queue.consumeTo(at);
  }
  if (sent > budget) port.debt = static_cast<std::int32_t>(sent - budget);
}

bool MidiOutput::pending() const {
  std::lock_guard lock(queueMutex_);
  return pause_ > 0 ||
         std::any_of(ports_.begin(), ports_.end(), [](const Port& p) { return p.device && !p.queue.empty(); });
}

void MidiOutput::updatePending() {
  shared_->status.outputPending = pending() ? 1 : 0;
}

// --- channel state ---

void MidiOutput::updateChannelState(int port, const ShortMessage& m) {
  auto& s = channelState(port, m.channel());
  switch (m.kind()) {
    case 0x80:
      noteOff(s, m.data1);
      break;
    case 0x90:
      m.data2 == 0 ? noteOff(s, m.data1) : noteOn(s, m.data1, m.data2);
      break;
    case 0xB0:
      updateController(s, m.data1, m.data2);
      break;
    case 0xC0:
      s.program = m.data1;
      break;
    case 0xE0:
      s.pitchBend = static_cast<std::uint16_t>(m.data2 << 7 | m.data1);
      break;
    default:
      break;
  }
}

void MidiOutput::noteOn(protocol::ChannelState& s, std::uint8_t note, std::uint8_t velocity) {
  auto& status = shared_->status;
  std::uint8_t total = status.soundingNotes;
  increment(total, 0xFF);
  status.soundingNotes = total;
  auto* slot = std::find(std::begin(s.notes), std::end(s.notes), protocol::kEmptyNoteSlot);
  if (slot != std::end(s.notes)) {
    *slot = note;
    s.velocities[slot - s.notes] = velocity;
  }
  s.noteOnCounter = static_cast<std::uint16_t>(s.noteOnCounter + 1);
  std::uint16_t count = s.soundingCount;
  increment(count, 0xFFFF);
  s.soundingCount = count;
}

// Counts never go below zero: a note-off without its note-on must not wrap them.
void MidiOutput::noteOff(protocol::ChannelState& s, std::uint8_t note) {
  auto& status = shared_->status;
  if (status.soundingNotes != 0) status.soundingNotes = static_cast<std::uint8_t>(status.soundingNotes - 1);
  if (s.soundingCount != 0) s.soundingCount = static_cast<std::uint16_t>(s.soundingCount - 1);
  auto* slot = std::find(std::begin(s.notes), std::end(s.notes), note);
  if (slot != std::end(s.notes)) {
    *slot = protocol::kEmptyNoteSlot;
    s.velocities[slot - s.notes] = 0;
  }
}

void MidiOutput::allNotesOff() {
  bool sounding = shared_->status.soundingNotes != 0;
  for (const auto& port : shared_->channels) {
    for (const auto& s : port)
      sounding |= s.soundingCount != 0;
  }
  if (!sounding) return;
  for (int port = 0; port < kPorts; ++port) {
    for (int channel = 0; channel < kChannelsPerPort; ++channel) {
      for (int number : {120, 123, 124})
        rawShort(port, controllerMessage(channel, number, 0), false);
      channelState(port, channel).soundingCount = 0;
    }
  }
  shared_->status.soundingNotes = 0;
}

void MidiOutput::clearSoundingNotes() {
  for (auto& port : shared_->channels) {
    for (auto& s : port) {
      std::fill(std::begin(s.notes), std::end(s.notes), protocol::kEmptyNoteSlot);
      std::fill(std::begin(s.velocities), std::end(s.velocities), 0);
    }
  }
}

// --- the filter path ---

void MidiOutput::sendFiltered(int port, std::uint32_t message) {
  const auto m = ShortMessage::unpack(message);
  if (!validPort(port) || m.status < 0x80) return;
  updateChannelState(port, m);
  const FilterResult result = filter_.filter(port, m);
  if (result.exclusiveLength != 0) rawExclusive(port, result.exclusiveBytes.data(), result.exclusiveLength, false);
  for (std::uint32_t filtered : result.messages)
    rawShort(port, filtered, false);
}

// --- the exclusive path ---

void MidiOutput::sendExclusive(int port, const std::uint8_t* bytes, std::size_t count) {
  if (!validPort(port) || !bytes || count == 0) return;
  if (!recogniseGS(port, bytes, count) || !recogniseSystemOn(bytes, count)) return;
  if (shared_->settings.disableExclusive && bytes[0] == 0xF0) return;
  rawExclusive(port, bytes, count, false);
}

// GS data sets and the display data sets; false when the message is to be dropped.
bool MidiOutput::recogniseGS(int port, const std::uint8_t* bytes, std::size_t count) {
  const auto& s = shared_->settings;
  auto& status = shared_->status;
  if (count >= 9 && startsWith(bytes, count, {0xF0, 0x41, 0x10, kGSModel, 0x12})) {
    const std::uint32_t address = addressAt(bytes);
    if (address == kGSReset) {
      status.gsReset = bytes[8] != 0x7F;
      return !s.disableResetExclusive;
    }
    if (address == kGSSystemMode) {
      status.gsMode = static_cast<std::uint8_t>(bytes[8] + 1);
      return !s.disableResetExclusive;
    }
    if (address == kGS88ProSetting) return !s.pro88Setting;
    const std::size_t checksum = terminatorIndex(bytes, count) - 1;
    for (std::size_t i = 8; i < checksum; ++i) {
      gsParameter(port, address + static_cast<std::uint32_t>(i - 8), bytes[i]);
    }
  } else if (count >= 11 && startsWith(bytes, count, {0xF0, 0x41, 0x10, kDisplayModel, 0x12})) {
    const std::size_t terminator = terminatorIndex(bytes, count);
    panel_.display(addressAt(bytes), bytes + 8, terminator > 9 ? terminator - 9 : 0);
  }
  return true;
}

bool MidiOutput::recogniseSystemOn(const std::uint8_t* bytes, std::size_t count) {
  auto& status = shared_->status;
  const bool xgOn = count >= 9 && startsWith(bytes, count, {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00});
  const bool gmOn = !xgOn && count >= 6 && startsWith(bytes, count, {0xF0, 0x7E, 0x7F, 0x09, 0x01});
  if (xgOn) status.xgOn = 1;
  if (gmOn) status.gmOn = 1;
  return !((xgOn || gmOn) && shared_->settings.disableResetExclusive);
}

void MidiOutput::gsParameter(int port, std::uint32_t address, std::uint8_t value) {
  const GSParameter p = filter_.gsParameter(port, address, value);
  for (std::uint32_t message : p.controllers)
    sendFiltered(port, message);
  auto& status = shared_->status;
  switch (p.kind) {
    case GSParameter::Kind::UseForRhythm:
      channelState(port, p.channel).rhythm = value;
      break;
    case GSParameter::Kind::Reset:
      status.gsReset = value != 0x7F;
      break;
    case GSParameter::Kind::PartPan:
      channelState(port, p.channel).pan = value;
      break;
    case GSParameter::Kind::ReceiveChannel:
      status.partTable[p.tablePort][p.channel].channel = value;
      break;
    case GSParameter::Kind::PatchName:
      panel_.setPatchNameCharacter(p.position, value);
      break;
    case GSParameter::Kind::PartPort:
      status.partTable[p.tablePort][p.channel].port = value;
      break;
    case GSParameter::Kind::BendRange:
    case GSParameter::Kind::Other:
      break;
  }
}

// --- the player's settings ---

void MidiOutput::setLyric(const char* text) {
  if (!text) return;
  auto& status = shared_->status;
  const std::size_t length = strnlen(text, sizeof status.lyric - 1);
  std::memset(status.lyric, 0, sizeof status.lyric);
  std::memcpy(status.lyric, text, length);
  status.lyricCounter = static_cast<std::uint16_t>(status.lyricCounter + 1);
}

void MidiOutput::panelClock(std::uint32_t elapsedMs) {
  panel_.clock(static_cast<std::int32_t>(std::min<std::uint32_t>(elapsedMs, 1u << 20)));
}

void MidiOutput::setMuteMask(std::uint32_t mask) {
  for (int i = 0; i < kAllChannels; ++i) {
    const bool muted = (mask >> (i % 32)) & 1;
    filter_.setMuted(i, muted);
    if (muted) rawShort(i / kChannelsPerPort, controllerMessage(i % kChannelsPerPort, 123, 0), false);
  }
}

// The volumes sent use the same scale as the filter, so master volume 127 restores them.
void MidiOutput::setMasterVolume(int volume) {
  volume = std::clamp(volume, 0, kMasterVolumeOff);
  if (volume == filter_.masterVolume()) return;
  filter_.setMasterVolume(volume);
  for (int i = 0; i < kAllChannels; ++i) {
    const int port = i / kChannelsPerPort, channel = i % kChannelsPerPort;
    rawShort(port, controllerMessage(channel, 7, channelState(port, channel).volume * volume / 127), false);
  }
}

void MidiOutput::setTransposition(int semitones) {
  if (semitones == filter_.transposition()) return;
  allNotesOff();  // no note may be left sounding under its old number
  filter_.setTransposition(semitones);
}

void MidiOutput::setOptions(bool midiRate, bool useReset) {
  pace_ = midiRate;
  resetDevices_ = useReset;
}

void MidiOutput::setMeterMode(std::uint32_t mode) {
  meterMode_ = mode;
}

void MidiOutput::resetPort(int port, int mode) {
  if (!isOpen(port)) return;
  const bool mt32 = mode == kResetModeMT32;
  for (int channel = 0; channel < kChannelsPerPort; ++channel) {
    auto send = [&](std::uint32_t message) { rawShort(port, message, true); };
    for (const auto& c : kPortResetControllers)
      send(controllerMessage(channel, c.number, mt32 ? c.mt32Value : c.value));
    send(ShortMessage{static_cast<std::uint8_t>(0xE0 | channel), 0x00, 0x40}.pack());
    if (!mt32) {
      for (int number : {10, 32, 0})
        send(controllerMessage(channel, number, number == 10 ? 64 : 0));
      continue;
    }
    send(controllerMessage(channel, 10, 64 + kMT32PanOffset[channel]));
    // Channels 1-9 are switched to bank 127; the 127 of the rhythm channel and the 126 of
    // channels 11-16 are only recorded.
    const std::uint8_t msb = channel <= kRhythmChannel ? 127 : 126;
    if (channel < kRhythmChannel) send(controllerMessage(channel, 0, msb));
    channelState(port, channel).bankMSB = msb;
    filter_.recordBankMSB(port, channel, msb);
    send(ShortMessage{static_cast<std::uint8_t>(0xC0 | channel), kMT32Program[channel], 0}.pack());
  }
}

}  // namespace volta::engine
