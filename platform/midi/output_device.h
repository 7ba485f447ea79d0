#pragma once
// MIDI output devices: what the engine's ports send through. Backends (the trace
// file, ALSA and JACK ports, the software synthesizer) each contribute entries to
// the device list; a device identifier is an index into that list.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace volta::platform::midi {

// The platform's "MIDI Mapper" and "no device" identifiers.
inline constexpr std::uint32_t kMapperDevice = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoDevice = 0xFFFFFFFEu;

enum class SendResult { Ok, NotReady, Failed };

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // A channel message packed as status | data1 << 8 | data2 << 16.
  virtual SendResult sendShort(std::uint32_t message) = 0;
  // An exclusive or any other byte string, sent as it stands.
  virtual SendResult sendLong(const std::uint8_t* bytes, std::size_t count) = 0;
  // The device's own reset (notes off, controllers reset).
  virtual void reset() = 0;
};

enum class DeviceKind { Trace, SoftwareSynth, Hardware };

struct OutputDeviceEntry {
  std::string name;
  DeviceKind kind = DeviceKind::Hardware;
  // Opens the device for port 0..2 (A..C); nullptr when it cannot be opened.
  std::function<std::unique_ptr<OutputDevice>(int port)> open;
};

// A source of devices; backends are asked in registration order.
class OutputBackend {
 public:
  virtual ~OutputBackend() = default;
  virtual void enumerate(std::vector<OutputDeviceEntry>& list) = 0;
};

// Backends in the order of the device list. The trace backend is always first.
void registerOutputBackend(std::shared_ptr<OutputBackend> backend);

// The device list, built anew at each call.
std::vector<OutputDeviceEntry> enumerateOutputDevices();

// Opens a device of the list (or the mapper) for a port; nullptr for kNoDevice,
// an identifier beyond the list, or a device that fails to open.
std::unique_ptr<OutputDevice> openOutputDevice(std::uint32_t id, int port);

// Index of the device with this name, or kNoDevice. Names, not indexes, survive a
// restart, so saved settings are matched by name.
std::uint32_t findOutputDevice(const std::string& name);

}  // namespace volta::platform::midi
