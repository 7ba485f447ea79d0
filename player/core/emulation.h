#pragma once
// Emulation between the module a song was written for and the module that is
// connected: conversions from "convindex", command sections that send messages
// and set the engine's output filter, the module greeting after every rewind,
// the devices of the three ports, and the routing of MIDI input to the output.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/protocol/records.h"
#include "player/core/core_settings.h"
#include "player/core/engine_binding.h"
#include "player/core/module_definitions.h"

namespace volta::core {

// Ports a message text goes to: A, B and C, or one of them.
inline constexpr std::array<int, 3> kAllPorts{0, 1, 2};

// Runs a message text on the ports (queued, so it goes out before the song's next event).
void runMessageText(OutputHandle& output, const TINICritical& store, std::string_view text, std::span<const int> ports);

// The "convindex" value for the device module and the song module, both through "alias"; empty when missing.
std::string resolveConversion(const TINICritical& store, std::string_view deviceModule, std::string_view songModule);

// Each word of the value up to one starting ";" as a command section, then the filter
// section. False when the value is empty (no conversion applies).
bool applyConversion(OutputHandle& output, const TINICritical& store, std::string_view value, std::string_view filter);

// One command section: "BaseSection", the message texts, patch maps, flags and channel map.
void applyCommandSection(OutputHandle& output, const TINICritical& store, std::string_view name);

// A patch map line "LSB:MSB:program=LSB:MSB:program" ("*" any or unchanged; a source
// starting "DM" and a separator is a rhythm entry): none when malformed.
std::optional<protocol::MapEntry> parsePatchEntry(std::string_view source, std::string_view destination);

// The exclusive that tells the device which module the song is for.
std::vector<std::uint8_t> moduleGreeting(std::string_view songModule);

// After a rewind: the conversion for the pair of modules, then the greeting on port A.
// False when no conversion applies (the song player's module marker gets "?").
bool sendModuleGreeting(OutputHandle& output, const TINICritical& store, std::string_view deviceModule,
                        std::string_view songModule, std::string_view filter);

// The device of a port by name: "MIDI Mapper", the platform's output devices by
// name without case, else no device (the port stays closed).
std::uint32_t portDevice(std::string_view name);

// The devices of a template's ports. A port naming a device that is not there (unplugged,
// or gone with its program) plays on the software synthesizer instead, and its name is
// kept in `missing`; "(None)" and an empty name keep the port closed on purpose.
struct PortDevices {
  std::array<std::uint32_t, 3> ids{};
  std::array<std::string, 3> missing;  // empty for a port found or closed on purpose

  bool anyMissing() const;
};
PortDevices resolvePortDevices(const MidiTemplate& midiTemplate);

// MIDI input passed to the output: a destination port (keeping the channel, or a
// fixed channel) and a velocity (unchanged, or fixed for every sounding note-on).
class MidiThruRouter {
 public:
  // "A--", "B--", "C--", then "A01" ... "C16".
  static std::vector<std::string> destinationNames();
  // "THRU", then "127" down to "1".
  static std::vector<std::string> velocityNames();

  explicit MidiThruRouter(OutputHandle& output) : output_(output) {}

  // Indexes into the two lists.
  void setDestination(int index);
  void setVelocity(int index);

  // The input callback's work; both flush the output at once.
  void onShortMessage(std::uint32_t message);
  void onExclusive(std::span<const std::uint8_t> bytes);

  // The message as it leaves for the destination port, or none for non-channel messages.
  std::optional<std::uint32_t> route(std::uint32_t message) const;
  int port() const;

 private:
  std::optional<std::uint32_t> routeLocked(std::uint32_t message) const;
  int portLocked() const;

  OutputHandle& output_;
  mutable std::mutex mutex_;
  int destination_ = 0;
  int velocity_ = 0;
};

}  // namespace volta::core
