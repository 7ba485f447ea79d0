#include "player/shell/midi/device_choice.h"

#include <algorithm>
#include <cstdio>

#include "platform/midi/software_synth.h"
#include "platform/text.h"
#include "player/core/core_settings.h"
#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

using platform::midi::DeviceKind;

DeviceLister systemDevices() {
  return [] {
    std::vector<DeviceInfo> devices;
    for (const auto& entry : platform::midi::enumerateOutputDevices())
      devices.push_back({entry.name, entry.kind});
    return devices;
  };
}

QString textIn(int id, int language) {
  return QString::fromUtf8(text(id, language));
}

std::string describeDevice(std::string_view name, const std::vector<DeviceInfo>& devices, int language) {
  if (name.empty() || name == core::kNoPortName) return {};
  if (name == core::kMapperPortName) return std::string(text(text_id::kMidiMapper, language));
  const auto found = std::find_if(devices.begin(), devices.end(), [name](const DeviceInfo& device) {
    return platform::text::equalsIgnoringCase(device.name, name);
  });
  if (found == devices.end()) return std::string(text(text_id::kUnknownDevice, language));
  if (found->kind != DeviceKind::SoftwareSynth) return std::string(text(text_id::kMidiPort, language));
  char voices[32];
  std::snprintf(voices, sizeof voices, std::string(text(text_id::kVoices, language)).c_str(),
                platform::midi::kSoftwareSynthVoices);
  return std::string(text(text_id::kSynthesizer, language)) + voices;
}

std::vector<std::pair<std::string, std::string>> sectionChoices(const core::TINICritical& definitions,
                                                                std::string_view section) {
  auto lock = definitions.lock();
  std::vector<std::pair<std::string, std::string>> choices;
  if (const core::TINIValues* values = definitions.findSection(section)) {
    for (const auto& entry : values->entries())
      choices.emplace_back(std::string(entry.key), platform::text::cp932ToUtf8(entry.value));
  }
  return choices;
}

void chooseKey(QComboBox& box, const std::string& key) {
  int index = box.findData(QString::fromStdString(key));
  if (index < 0) {
    box.addItem(QString::fromStdString(key), QString::fromStdString(key));
    index = box.count() - 1;
  }
  box.setCurrentIndex(index);
}

void setKeyChoices(QComboBox& box, const std::vector<std::pair<std::string, std::string>>& choices,
                   const std::string& current) {
  box.clear();
  for (const auto& [key, description] : choices)
    box.addItem(QString::fromStdString(description), QString::fromStdString(key));
  chooseKey(box, current);
}

std::string chosenKey(const QComboBox& box) {
  return box.currentData().toString().toStdString();
}

}  // namespace volta::shell
