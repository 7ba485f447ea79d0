#pragma once
// MIDI input devices: what the MIDI THRU input listens to. Backends (ALSA and JACK
// ports) contribute entries to the input list; an identifier is an index into it.
// Messages reach a callback on the platform's own input thread, never on the
// thread of an audio server, so the callback may take locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/output_device.h"

namespace volta::platform::midi {

// The largest exclusive piece handed to a callback; longer exclusives come as
// several pieces in order, only the last one ending with F7.
inline constexpr std::size_t kInputBufferSize = 2048;

struct InputMessage {
  enum class Kind { Short, Exclusive };
  Kind kind;
  // A short message packed as status | data1 << 8 | data2 << 16; 0 for exclusives.
  std::uint32_t shortMessage;
  // The message's bytes (for an exclusive: this piece), valid during the callback.
  const std::uint8_t* bytes;
  std::size_t count;
  // Milliseconds since the device opened, on the platform clock.
  std::uint32_t timeMs;
};

using InputCallback = std::function<void(const InputMessage&)>;

// An open input: messages flow to the callback until it is destroyed. When the
// destructor returns, no callback of it runs or will run.
class InputDevice {
 public:
  virtual ~InputDevice() = default;
};

struct InputDeviceEntry {
  std::string name;
  // Opens the device; nullptr when it cannot be opened (it vanished, say).
  std::function<std::unique_ptr<InputDevice>(InputCallback callback)> open;
};

class InputBackend {
 public:
  virtual ~InputBackend() = default;
  virtual void enumerate(std::vector<InputDeviceEntry>& list) = 0;
};

// Backends in the order of the input list.
void registerInputBackend(std::shared_ptr<InputBackend> backend);

// The input list, built anew at each call.
std::vector<InputDeviceEntry> enumerateInputDevices();

// nullptr for an identifier beyond the list or a device that fails to open.
std::unique_ptr<InputDevice> openInputDevice(std::uint32_t id, InputCallback callback);

// Index of the input with this name (compared case-insensitively), or kNoDevice.
std::uint32_t findInputDevice(const std::string& name);

}  // namespace volta::platform::midi
