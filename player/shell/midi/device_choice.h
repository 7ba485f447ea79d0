#pragma once
// What the MIDI pages show of the output devices: the list to choose a port's device
// from, and the description of a chosen device. The list comes through a lister, so the
// pages follow devices that come and go and tests hand in a list of their own.

#include <QComboBox>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/midi/output_device.h"
#include "player/core/module_definitions.h"
#include "player/shell/settings/page_widgets.h"

namespace volta::shell {

struct DeviceInfo {
  std::string name;
  platform::midi::DeviceKind kind = platform::midi::DeviceKind::Hardware;
  bool operator==(const DeviceInfo&) const = default;
};

using DeviceLister = std::function<std::vector<DeviceInfo>()>;

// The platform's output devices (trace, software synthesizer, ALSA, JACK) as they are now.
DeviceLister systemDevices();

// The chosen device's technology, its voices for a synthesizer, "Unknown device" when the
// name matches no device; empty for a port left closed.
std::string describeDevice(std::string_view name, const std::vector<DeviceInfo>& devices, int language);

// A section of the module definitions as (key, description) pairs in file order
// ("moduleindex", "tdfindex", "filterindex").
std::vector<std::pair<std::string, std::string>> sectionChoices(const core::TINICritical& definitions,
                                                                std::string_view section);

// Fills a box with choices shown by description; the current key is chosen, and added
// as it stands when the choices lack it (a module of a user file no longer loaded).
void setKeyChoices(QComboBox& box, const std::vector<std::pair<std::string, std::string>>& choices,
                   const std::string& current);
// The key of the chosen line.
std::string chosenKey(const QComboBox& box);
// Chooses the line of this key, adding it when missing.
void chooseKey(QComboBox& box, const std::string& key);

// A text of the string table in the language (pairs of texts: `pick`).
QString textIn(int id, int language);

}  // namespace volta::shell
