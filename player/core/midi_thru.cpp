#include "player/core/midi_thru.h"

namespace volta::core {

std::vector<std::string> MidiThru::inputNames() {
  std::vector<std::string> names;
  for (const auto& entry : platform::midi::enumerateInputDevices())
    names.push_back(entry.name);
  return names;
}

bool MidiThru::start(std::uint32_t input) {
  stop();
  input_ =
      platform::midi::openInputDevice(input, [this](const platform::midi::InputMessage& message) { deliver(message); });
  return running();
}

void MidiThru::deliver(const platform::midi::InputMessage& message) {
  if (message.kind == platform::midi::InputMessage::Kind::Short)
    router_.onShortMessage(message.shortMessage);
  else if (message.bytes && message.count > 0)
    router_.onExclusive({message.bytes, message.count});
}

}  // namespace volta::core
