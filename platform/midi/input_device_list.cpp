#include <algorithm>
#include <mutex>

#include "platform/midi/input_device.h"
#include "platform/text.h"

namespace volta::platform::midi {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::shared_ptr<InputBackend>> backends;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

void registerInputBackend(std::shared_ptr<InputBackend> backend) {
  std::lock_guard lock(registry().mutex);
  registry().backends.push_back(std::move(backend));
}

std::vector<InputDeviceEntry> enumerateInputDevices() {
  std::vector<std::shared_ptr<InputBackend>> backends;
  {
    std::lock_guard lock(registry().mutex);
    backends = registry().backends;
  }
  std::vector<InputDeviceEntry> list;
  for (auto& backend : backends)
    backend->enumerate(list);
  return list;
}

std::unique_ptr<InputDevice> openInputDevice(std::uint32_t id, InputCallback callback) {
  const auto list = enumerateInputDevices();
  if (id >= list.size()) return nullptr;
  return list[id].open(std::move(callback));
}

std::uint32_t findInputDevice(const std::string& name) {
  const auto list = enumerateInputDevices();
  auto it =
      std::find_if(list.begin(), list.end(), [&](const auto& e) { return text::equalsIgnoringCase(e.name, name); });
  return it == list.end() ? kNoDevice : static_cast<std::uint32_t>(it - list.begin());
}

}  // namespace volta::platform::midi
