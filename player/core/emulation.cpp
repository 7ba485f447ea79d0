#include "player/core/emulation.h"

#include <algorithm>
#include <cstdio>

#include "platform/midi/output_device.h"
#include "platform/midi/software_synth.h"
#include "platform/text.h"
#include "player/core/message_text.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;
using platform::text::trim;
using platform::text::upperAscii;

using protocol::MapEntry;
using protocol::OutputSettings;

namespace {

constexpr std::uint8_t kAny = 0xFF;
// Sections that name themselves as their base stop here.
constexpr int kSectionNesting = 8;

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> result;
  std::size_t at = 0;
  while (at < text.size()) {
    at = text.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
    result.push_back(text.substr(at, end - at));
    at = end;
  }
  return result;
}

void runActions(OutputHandle& output, const std::vector<MessageAction>& actions, std::span<const int> ports) {
  for (const auto& action : actions) {
    for (int port : ports) {
      switch (action.kind) {
        case MessageAction::Kind::kBytes:
          output.sendExclusive(port, action.bytes);
          break;
        case MessageAction::Kind::kEveryChannel:
          for (std::uint8_t channel = 0; channel < 16; ++channel) {
            std::vector<std::uint8_t> bytes = action.bytes;
            bytes[0] = static_cast<std::uint8_t>((bytes[0] & 0xF0) | channel);
            output.sendExclusive(port, bytes);
          }
          break;
        case MessageAction::Kind::kReset:
          output.resetPort(port, action.value);
          break;
        case MessageAction::Kind::kWait:
          for (int i = 0; i < action.value; ++i)
            output.queuePause(port);
          break;
      }
    }
  }
}

void runMessageKeys(OutputHandle& output, const TINICritical& store, std::string_view section) {
  static constexpr std::array<std::string_view, 3> kPortKeys{"MIDI_A", "MIDI_B", "MIDI_C"};
  if (const auto text = store.getValue(section, "MIDI"); !text.empty()) runMessageText(output, store, text, kAllPorts);
  for (int port = 0; port < 3; ++port) {
    if (const auto text = store.getValue(section, kPortKeys[port]); !text.empty())
      runMessageText(output, store, text, std::span<const int>(&kAllPorts[port], 1));
  }
}

void appendPatchMaps(OutputSettings& settings, const TINICritical& store, std::string_view section) {
  std::uint16_t count = settings.patchMapCount;
  const std::string maps = store.getValue(section, "PatchMap");
  for (const auto name : words(maps)) {
    const TINIValues* map = store.findSection(name);
    if (!map) continue;
    for (const auto& entry : map->entries()) {
      if (count >= protocol::kPatchMapSize) break;
      if (const auto parsed = parsePatchEntry(entry.key, entry.value)) settings.patchMap[count++] = *parsed;
    }
  }
  settings.patchMapCount = count;
}

struct Flag {
  std::string_view key;
  std::uint8_t OutputSettings::*field;
};

constexpr Flag kFlags[] = {{"GSToGMEmu", &OutputSettings::gsToGMEmu},
                           {"XGToGMEmu", &OutputSettings::xgToGMEmu},
                           {"GSToXGEmu", &OutputSettings::gsToXGEmu},
                           {"XGToGSEmu", &OutputSettings::xgToGSEmu},
                           {"88ProSetting", &OutputSettings::pro88Setting},
                           {"AdjustMK2", &OutputSettings::adjustMK2},
                           {"CMToGSInit", &OutputSettings::cmToGSInit},
                           {"DrumTrack", &OutputSettings::drumTrack},
                           {"DefaultBankSelectLSB", &OutputSettings::defaultBankSelectLSB},
                           {"DisableBankSelectLSB", &OutputSettings::disableBankSelectLSB},
                           {"DisableBankSelectMSB", &OutputSettings::disableBankSelectMSB},
                           {"DisableExclusive", &OutputSettings::disableExclusive},
                           {"DisableResetExclusive", &OutputSettings::disableResetExclusive},
                           {"MapSelect", &OutputSettings::mapSelect}};

// Byte fields only: their alignment is 1 even in the packed record.
void setFlags(OutputSettings& settings, const TINICritical& store, std::string_view section) {
  for (const auto& flag : kFlags)
    settings.*flag.field = static_cast<std::uint8_t>(store.getInteger(section, flag.key, settings.*flag.field));
}

void setChannelMap(OutputSettings& settings, const TINICritical& store, std::string_view section) {
  for (int port = 0; port < 3; ++port) {
    for (int channel = 0; channel < 16; ++channel) {
      char key[8];
      std::snprintf(key, sizeof key, "CH%c-%02d", 'A' + port, channel);
      const std::string value = store.getValue(section, key);
      if (value.size() < 3) continue;
      const char letter = upperAscii(value[0]);
      const auto target = parseDecimal(std::string_view(value).substr(2));
      if (letter < 'A' || letter > 'C' || !target || *target < 0 || *target > 15) continue;
      settings.channelMap[port][channel][0] = static_cast<std::uint8_t>(letter - 'A');
      settings.channelMap[port][channel][1] = static_cast<std::uint8_t>(*target);
    }
  }
}

void applySection(OutputHandle& output, const TINICritical& store, std::string_view name, int depth) {
  if (name.size() >= 5 && equalsIgnoringCase(name.substr(0, 5), "SMFK:")) return;  // chooses a conversion tool
  if (depth >= kSectionNesting || !store.findSection(name)) return;
  const std::string bases = store.getValue(name, "BaseSection");
  for (const auto base : words(bases))
    applySection(output, store, base, depth + 1);
  runMessageKeys(output, store, name);
  OutputSettings& settings = *output.settings();
  appendPatchMaps(settings, store, name);
  setFlags(settings, store, name);
  setChannelMap(settings, store, name);
}

// One half of a patch entry: bank LSB, bank MSB and program, "*" for any.
std::optional<std::array<std::uint8_t, 3>> patchFields(std::string_view text) {
  std::array<std::uint8_t, 3> fields{};
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? text.find(':') : text.size();
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view field = trim(text.substr(0, end));
    const auto number = parseDecimal(field);
    if (field == "*")
      fields[i] = kAny;
    else if (number && *number >= 0 && *number <= 127 &&
             field.find_first_not_of("0123456789") == std::string_view::npos)
      fields[i] = static_cast<std::uint8_t>(*number);
    else
      return std::nullopt;
    text.remove_prefix(i < 2 ? end + 1 : end);
  }
  return fields;
}

}  // namespace

void runMessageText(OutputHandle& output, const TINICritical& store, std::string_view text,
                    std::span<const int> ports) {
  runActions(output, parseMessageText(store, text), ports);
}

std::string resolveConversion(const TINICritical& store, std::string_view deviceModule, std::string_view songModule) {
  auto lock = store.lock();
  const std::string key = store.resolveAlias(deviceModule) + ":" + store.resolveAlias(songModule);
  return store.getValue("convindex", key);
}

bool applyConversion(OutputHandle& output, const TINICritical& store, std::string_view value, std::string_view filter) {
  auto lock = store.lock();
  for (const auto word : words(value)) {
    if (word.front() == ';') break;
    applySection(output, store, word, 0);
  }
  applySection(output, store, filter, 0);
  return !words(value).empty();
}

void applyCommandSection(OutputHandle& output, const TINICritical& store, std::string_view name) {
  auto lock = store.lock();
  applySection(output, store, name, 0);
}

std::optional<MapEntry> parsePatchEntry(std::string_view source, std::string_view destination) {
  std::uint8_t rhythm = 0;
  if (source.size() > 3 && equalsIgnoringCase(source.substr(0, 2), "DM")) {
    rhythm = 1;
    source.remove_prefix(3);
  }
  const auto from = patchFields(source);
  const auto to = patchFields(destination);
  if (!from || !to) return std::nullopt;
  // Fields run LSB, MSB, program; the entry holds program, MSB, LSB, rhythm flag.
  return MapEntry{{(*from)[2], (*from)[1], (*from)[0], rhythm}, {(*to)[2], (*to)[1], (*to)[0], rhythm}};
}

std::vector<std::uint8_t> moduleGreeting(std::string_view songModule) {
  constexpr char kHeader[] = "\xF0\x41\x10\x45\x12\x10\x00\x00VOLTA:";
  const std::string text = std::string(kHeader, sizeof kHeader - 1).append(songModule.substr(0, 31));
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() + 2);
  for (char c : text.substr(0, 8))
    bytes.push_back(static_cast<std::uint8_t>(c));
  for (char c : std::string_view(text).substr(8))
    bytes.push_back(static_cast<std::uint8_t>(c) & 0x7F);  // data bytes of an exclusive stay below 0x80
  unsigned sum = 0;
  for (std::size_t i = 5; i < bytes.size(); ++i)
    sum += bytes[i];
  bytes.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
  bytes.push_back(0xF7);
  return bytes;
}

bool sendModuleGreeting(OutputHandle& output, const TINICritical& store, std::string_view deviceModule,
                        std::string_view songModule, std::string_view filter) {
  auto lock = store.lock();
  const bool converted = applyConversion(output, store, resolveConversion(store, deviceModule, songModule), filter);
  output.sendExclusive(0, moduleGreeting(songModule));
  return converted;
}

namespace {

std::uint32_t findDevice(const std::vector<platform::midi::OutputDeviceEntry>& devices, std::string_view name) {
  if (name == kMapperPortName) return platform::midi::kMapperDevice;
  for (std::size_t i = 0; i < devices.size(); ++i)
    if (equalsIgnoringCase(devices[i].name, name)) return static_cast<std::uint32_t>(i);
  return platform::midi::kNoDevice;
}

}  // namespace

std::uint32_t portDevice(std::string_view name) {
  return findDevice(platform::midi::enumerateOutputDevices(), name);
}

bool PortDevices::anyMissing() const {
  return std::any_of(missing.begin(), missing.end(), [](const std::string& name) { return !name.empty(); });
}

PortDevices resolvePortDevices(const MidiTemplate& midiTemplate) {
  const auto devices = platform::midi::enumerateOutputDevices();
  const std::uint32_t synthesizer = findDevice(devices, platform::midi::kSoftwareSynthName);
  PortDevices result;
  for (std::size_t port = 0; port < result.ids.size(); ++port) {
    const std::string& name = midiTemplate.ports[port];
    result.ids[port] = findDevice(devices, name);
    if (result.ids[port] != platform::midi::kNoDevice || name.empty() || name == kNoPortName) continue;
    result.missing[port] = name;
    result.ids[port] = synthesizer;
  }
  return result;
}

// ---- MIDI THRU ----

std::vector<std::string> MidiThruRouter::destinationNames() {
  std::vector<std::string> names{"A--", "B--", "C--"};
  for (char port = 'A'; port <= 'C'; ++port) {
    for (int channel = 1; channel <= 16; ++channel) {
      char name[8];
      std::snprintf(name, sizeof name, "%c%02d", port, channel);
      names.emplace_back(name);
    }
  }
  return names;
}

std::vector<std::string> MidiThruRouter::velocityNames() {
  std::vector<std::string> names{"THRU"};
  for (int velocity = 127; velocity >= 1; --velocity)
    names.push_back(std::to_string(velocity));
  return names;
}

void MidiThruRouter::setDestination(int index) {
  std::lock_guard lock(mutex_);
  destination_ = std::clamp(index, 0, 3 + 48 - 1);
}

void MidiThruRouter::setVelocity(int index) {
  std::lock_guard lock(mutex_);
  velocity_ = std::clamp(index, 0, 127);
}

int MidiThruRouter::port() const {
  std::lock_guard lock(mutex_);
  return portLocked();
}

int MidiThruRouter::portLocked() const {
  return destination_ < 3 ? destination_ : (destination_ - 3) / 16;
}

std::optional<std::uint32_t> MidiThruRouter::route(std::uint32_t message) const {
  std::lock_guard lock(mutex_);
  return routeLocked(message);
}

std::optional<std::uint32_t> MidiThruRouter::routeLocked(std::uint32_t message) const {
  std::uint32_t status = message & 0xFF;
  if (status < 0x80 || status > 0xEF) return std::nullopt;
  if (destination_ >= 3) status = (status & 0xF0) | static_cast<std::uint32_t>((destination_ - 3) % 16);
  std::uint32_t data = message & 0xFFFF00;
  const bool soundingNoteOn = (status & 0xF0) == 0x90 && (message >> 16 & 0x7F) != 0;
  if (velocity_ > 0 && soundingNoteOn) data = (data & 0x00FF00) | static_cast<std::uint32_t>(128 - velocity_) << 16;
  return status | data;
}

void MidiThruRouter::onShortMessage(std::uint32_t message) {
  std::lock_guard lock(mutex_);
  const auto routed = routeLocked(message);
  if (!routed) return;
  output_.sendFiltered(portLocked(), *routed);
  output_.flush();
}

void MidiThruRouter::onExclusive(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  output_.sendExclusive(portLocked(), bytes);
  output_.flush();
}

}  // namespace volta::core
