#include "player/monitor/monitor_model.h"

#include <algorithm>

#include "player/monitor/monitor_texts.h"

namespace volta::monitor {

namespace {

constexpr int kCentre = 64;
constexpr int kBendCentre = 8192;

std::array<int, kValueItems> valuesOf(const protocol::ChannelState& c) {
  auto centred = [](std::uint8_t v) { return static_cast<int>(v) - kCentre; };
  auto pedal = [](std::uint8_t v) { return v >= kCentre ? 1 : 0; };
  return {c.volume,
          centred(c.pan),
          c.expression,
          static_cast<int>(c.pitchBend) - kBendCentre,
          c.reverb,
          c.chorus,
          c.delay,
          c.modulation,
          centred(c.vibratoRate),
          centred(c.vibratoDepth),
          centred(c.vibratoDelay),
          centred(c.cutoff),
          centred(c.resonance),
          centred(c.attack),
          centred(c.decay),
          centred(c.release),
          pedal(c.hold),
          pedal(c.sostenuto),
          pedal(c.soft),
          c.program + 1,
          0};
}

std::bitset<kKeyboardNotes> keysOf(const std::uint8_t (&notes)[16]) {
  std::bitset<kKeyboardNotes> keys;
  for (const std::uint8_t note : notes)
    if (note < kKeyboardNotes) keys.set(note);
  return keys;
}

std::uint32_t message(int status, int data1, int data2) {
  return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1 & 0x7F) << 8 |
         static_cast<std::uint32_t>(data2 & 0x7F) << 16;
}

int controllerOf(RowItem item) {
  static constexpr std::array<int, kHold + 3> kControllers = {7,  10, 11, -1, 91, 93, 94, 1,  -1, -1,
                                                              -1, -1, -1, -1, -1, -1, 64, 66, 67};
  return item < static_cast<int>(kControllers.size()) ? kControllers[static_cast<std::size_t>(item)] : -1;
}

// The non-registered parameter numbers of the synthesis items.
int parameterOf(RowItem item) {
  static constexpr std::array<int, 8> kParameters = {0x0108, 0x0109, 0x010A, 0x0120, 0x0121, 0x0163, 0x0164, 0x0166};
  return kParameters[static_cast<std::size_t>(item - kVibratoRate)];
}

}  // namespace

bool isSlider(RowItem item) {
  return item <= kModulation;
}
bool isSynthesis(RowItem item) {
  return item >= kVibratoRate && item <= kRelease;
}
bool isIndicator(RowItem item) {
  return item >= kHold && item <= kSoft;
}

ItemRange itemRange(RowItem item) {
  if (item == kPan || isSynthesis(item)) return {-64, 63};
  if (item == kPitchBend) return {-8192, 8191};
  if (isIndicator(item)) return {0, 1};
  if (item == kProgram) return {1, 128};
  return {0, 127};
}

BarSpan sliderBar(int value, ItemRange range, int width) {
  const int span = range.maximum - range.minimum;
  if (span <= 0 || width <= 0) return {};
  auto at = [&](int v) { return (std::clamp(v, range.minimum, range.maximum) - range.minimum) * width / span; };
  const int origin = range.minimum < 0 ? at(0) : 0;
  const int end = at(value);
  return {std::min(origin, end), std::max(origin, end)};
}

RowChanges MonitorRow::update(const protocol::ChannelState* channel, int key, const InstrumentResolver& resolve) {
  RowChanges changed;
  std::array<int, kValueItems> values{};
  std::bitset<kKeyboardNotes> keys;
  InstrumentNames names;
  if (channel) {
    values = valuesOf(*channel);
    keys = keysOf(channel->notes);
    const InstrumentKey now{channel->bankLSB, channel->bankMSB, channel->program, channel->rhythm != 0};
    if (looked_ != now) {
      looked_ = now;
      names = resolve ? resolve(now) : InstrumentNames{std::string(kNoInstrument), {}, {}, BankType::kNone};
    } else {
      names = names_;
    }
    values[kBank] = names.bank.value_or(0);
  } else {
    looked_.reset();
  }
  for (std::size_t i = 0; i < values.size(); ++i)
    changed[i] = values[i] != values_[i];
  changed[kName] = names.name != names_.name;
  changed[kMap] = names.map != names_.map;
  changed[kBank] = changed[kBank] || names.bank.has_value() != names_.bank.has_value();
  values_ = values;
  names_ = std::move(names);
  changedKeys_ = keys ^ keys_;
  if (changedKeys_.any()) {
    // The chord is rebuilt only when a key changed.
    changed[kKeyboard] = true;
    keys_ = keys;
    std::string chord = channel ? chordText(channel->notes, key) : std::string();
    changed[kChord] = chord != chord_;
    chord_ = std::move(chord);
  }
  return changed;
}

std::string MonitorRow::text(RowItem item) const {
  switch (item) {
    case kName:
      return names_.name;
    case kMap:
      return names_.map;
    case kChord:
      return chord_;
    case kKeyboard:
      return keys_.to_string();
    case kBank:
      return names_.bank ? unsignedNumber(value(item), 3) : std::string();
    default:
      break;
  }
  // Only the value items remain.
  const int v = value(item);
  if (item == kProgram) return unsignedNumber(v, 3);
  if (isIndicator(item)) return v ? "1" : "0";
  if (item == kPitchBend) return signedNumber(v, 4);
  return itemRange(item).minimum < 0 ? signedNumber(v, 2) : unsignedNumber(v, 3);
}

std::bitset<12> MonitorRow::fold(const std::bitset<kKeyboardNotes>& keys) {
  std::bitset<12> folded;
  for (int note = 0; note < kKeyboardNotes; ++note)
    if (keys[static_cast<std::size_t>(note)]) folded.set(static_cast<std::size_t>(note % 12));
  return folded;
}

std::vector<std::uint32_t> controlMessages(RowItem item, int channel, int value, int program, BankType bankType) {
  const ItemRange range = itemRange(item);
  value = std::clamp(value, range.minimum, range.maximum);
  const int ch = channel & 0x0F;
  if (item == kProgram) return {message(0xC0 | ch, value - 1, 0)};
  if (item == kBank) {
    if (bankType == BankType::kNone) return {};
    return {message(0xB0 | ch, bankType == BankType::kMsb ? 0 : 32, value), message(0xC0 | ch, program - 1, 0)};
  }
  if (item == kPitchBend) {
    const int bend = value + kBendCentre;
    return {message(0xE0 | ch, bend & 0x7F, bend >> 7)};
  }
  if (isSynthesis(item)) {
    const int parameter = parameterOf(item);
    return {message(0xB0 | ch, 99, parameter >> 8), message(0xB0 | ch, 98, parameter & 0xFF),
            message(0xB0 | ch, 6, value + kCentre)};
  }
  const int controller = controllerOf(item);
  if (controller < 0) return {};
  if (item == kPan) value += kCentre;
  if (isIndicator(item) && value != 0) value = 127;
  return {message(0xB0 | ch, controller, value)};
}

void MonitorHeader::update(const protocol::SequencerStatus* song, const protocol::OutputStatus* output,
                           std::uint32_t nowMs) {
  if (song) {
    texts_.bpm = bpmText(song->tempo);
    texts_.timeBase = timeBaseText(song->timeBase);
    texts_.meter = meterText(song->numerator, song->denominator);
    if (key_ != song->key) key_ = song->key;
    texts_.key = keyText(key_);
  }
  if (!output) {
    texts_.notes = "000";
    texts_.noteSlider = texts_.notePeak = 0;
    peakSince_.reset();
    return;
  }
  const int sounding = output->soundingNotes;
  texts_.noteSlider = sounding;
  if (sounding > texts_.notePeak || !peakSince_) {
    texts_.notePeak = std::max(sounding, texts_.notePeak);
    peakSince_ = nowMs;
  } else if (nowMs - *peakSince_ >= kPeakHoldMs) {
    texts_.notePeak = sounding;
    peakSince_ = nowMs;
  }
  texts_.notes = unsignedNumber(texts_.notePeak, 3);
}

void MonitorHeader::setTransposition(int semitones) {
  texts_.transposition = transpositionText(semitones);
}

RowSpan visibleRows(int clientHeight, int scroll) {
  const int count = std::max(0, (clientHeight - kFirstRowTop) / kRowHeight);
  const int first = std::clamp(scroll, 0, kMonitorRows - 1);
  return {first, std::min(first + count, kMonitorRows) - 1};
}

bool rowMuted(std::uint32_t mask, int row) {
  return ((mask >> (row % 32)) & 1U) != 0;
}

std::uint32_t toggleRowMute(std::uint32_t mask, int row) {
  return mask ^ (1U << (row % 32));
}

}  // namespace volta::monitor
