#include <algorithm>
#include <mutex>

#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"

namespace volta::platform::midi {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::shared_ptr<OutputBackend>> backends{traceBackend()};
};

Registry& registry() {
  static Registry r;
  return r;
}

// The mapper is the first hardware port, else the software synthesizer.
std::uint32_t mapperIndex(const std::vector<OutputDeviceEntry>& list) {
  for (DeviceKind kind : {DeviceKind::Hardware, DeviceKind::SoftwareSynth}) {
    auto it = std::find_if(list.begin(), list.end(), [kind](const auto& e) { return e.kind == kind; });
    if (it != list.end()) return static_cast<std::uint32_t>(it - list.begin());
  }
  return kNoDevice;
}

}  // namespace

void registerOutputBackend(std::shared_ptr<OutputBackend> backend) {
  std::lock_guard lock(registry().mutex);
  registry().backends.push_back(std::move(backend));
}

std::vector<OutputDeviceEntry> enumerateOutputDevices() {
  std::vector<std::shared_ptr<OutputBackend>> backends;
  {
    std::lock_guard lock(registry().mutex);
    backends = registry().backends;
  }
  std::vector<OutputDeviceEntry> list;
  for (auto& backend : backends)
    backend->enumerate(list);
  return list;
}

std::unique_ptr<OutputDevice> openOutputDevice(std::uint32_t id, int port) {
  if (id == kNoDevice) return nullptr;
  const auto list = enumerateOutputDevices();
  if (id == kMapperDevice) id = mapperIndex(list);
  if (id >= list.size()) return nullptr;
  return list[id].open(port);
}

std::uint32_t findOutputDevice(const std::string& name) {
  const auto list = enumerateOutputDevices();
  auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.name == name; });
  return it == list.end() ? kNoDevice : static_cast<std::uint32_t>(it - list.begin());
}

}  // namespace volta::platform::midi
