#pragma once
// The settings the player core reads whenever the engine or a song is set up,
// with their defaults, and the MIDI templates (port devices and device module).

#include <array>
#include <cstdint>
#include <string>

#include "platform/settings/settings_store.h"

namespace volta::core {

// The ranges a stored value must lie in; one outside keeps the default.
inline constexpr std::int32_t kMaxIntervalTime = 100;    // ms per engine timer period
inline constexpr std::int32_t kMaxExclusiveWait = 1000;  // ms
inline constexpr std::int32_t kMaxRepeatCount = 255;     // loops of RCP-family songs
// The port templates the menu offers (0 to 3).
inline constexpr int kTemplateCount = 4;

// The port names that are no device: the mapper, and a port closed on purpose.
inline constexpr const char* kMapperPortName = "MIDI Mapper";
inline constexpr const char* kNoPortName = "(None)";

// Template -1 is the main key itself; templates 0, 1, ... are "MIDITemplate%d".
struct MidiTemplate {
  std::array<std::string, 3> ports{"MIDI Mapper", "(None)", "(None)"};  // "PORT_A", "PORT_B", "PORT_C"
  std::string module = "THRU";

  static MidiTemplate read(const platform::settings::SettingsStore& store, int index);
  bool write(platform::settings::SettingsStore& store, int index) const;
  // The four values as template `index` of a batch.
  void addTo(platform::settings::SettingsBatch& batch, int index) const;
  bool operator==(const MidiTemplate&) const = default;
};

// "MIDITemplateMode": -1 (the main key's ports) or a template the menu offers.
std::int32_t readMidiTemplateMode(const platform::settings::SettingsStore& store);

struct CoreSettings {
  MidiTemplate mainTemplate;  // the values of template -1
  std::string userDefFile;
  std::string defFile;
  std::string bridgeEngine;  // the older engine the bridge library hands commands to; none when empty
  std::string soundFont;     // the software synthesizer's; empty for VOLTA_SOUNDFONT or the standard ones
  std::string defaultModule = "THRU";
  std::string filter = "NONE";
  std::int32_t intervalTime = 5;
  std::int32_t exclusiveWait1 = 0;
  std::int32_t exclusiveWait2 = 0;
  std::int32_t autoScan = 1;
  std::int32_t midiRate = 0;
  std::int32_t useReset = 0;
  std::int32_t repeatCount = 2;
  std::int32_t dllTypeIs32Bit = 0;
  std::int32_t hsPlay = 0;
  std::int32_t analyzeMode = 0;
  std::int32_t scanLength = 1;
  std::int32_t autoDoc = 1;
  std::int32_t portOpenClose = 0;
  std::int32_t sryEnable = 0;
  std::int32_t midiTemplateMode = -1;
  // Read only: its own configuration page writes it, and the MIDI pages must not undo that.
  std::string smfkFolder;  // "SMFKFolder"

  // A value of the wrong type or out of its range keeps its default.
  static CoreSettings read(const platform::settings::SettingsStore& store);
  // All values in one atomic write; an "IntervalTime" of 0 is saved as 10.
  bool write(platform::settings::SettingsStore& store) const;

  // The template in use: "MIDITemplateMode", or the main key's values when it is -1.
  MidiTemplate currentTemplate(const platform::settings::SettingsStore& store) const;
};

}  // namespace volta::core
