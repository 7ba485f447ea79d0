#include "platform/midi/rtmidi_devices.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

#include "platform/clock.h"
#include "platform/midi/audio_systems.h"
#include "platform/midi/message_assembler.h"

namespace volta::platform::midi {
namespace {

enum class Direction { Output, Input };

// RtMidi's JACK output queue holds 16 KiB; longer exclusives leave in pieces, which
// RtMidi's receivers join again. ALSA takes an exclusive of any length.
std::size_t exclusiveLimit(MidiSystem system) {
  return system == MidiSystem::Jack ? 4096 : 65536;
}

// How long a JACK server may take to put a new connection to work.
constexpr std::chrono::milliseconds kConnectionTimeout{2000};

RtMidi::Api rtMidiApi(MidiSystem system) {
  return system == MidiSystem::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

// Probed first: RtMidi's ALSA constructor fails noisily on machines without sound,
// and its JACK classes warn on stderr when no server runs.
bool systemAvailable(MidiSystem system) {
  quietAudioLibraryLogs();
  return system == MidiSystem::Alsa ? alsaSequencerPresent() : jackServerRunning();
}

// RtMidi reports through exceptions (construction) and a callback (the rest); a
// failure is noted in the flag given, warnings are dropped.
void keepRtMidiError(RtMidiError::Type type, const std::string&, void* failed) {
  if (failed && type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) *static_cast<bool*>(failed) = true;
}

template <class Port>
std::unique_ptr<Port> makeRtMidi(MidiSystem system) {
  if (!systemAvailable(system)) return nullptr;
  try {
    return std::make_unique<Port>(rtMidiApi(system), kMidiClientName);
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

// "client:port 20:0" (RtMidi's ALSA names) becomes "client:port".
std::string stableName(MidiSystem system, std::string name) {
  if (system != MidiSystem::Alsa) return name;
  const auto space = name.rfind(' ');
  if (space == std::string::npos) return name;
  const std::string tail = name.substr(space + 1);
  const auto colon = tail.find(':');
  const bool numbered =
      colon != std::string::npos && colon > 0 && colon + 1 < tail.size() &&
      std::all_of(tail.begin(), tail.end(), [](char c) { return c == ':' || (c >= '0' && c <= '9'); });
  return numbered ? name.substr(0, space) : name;
}

// Port names as devices: stable, and made unique in their order.
std::vector<std::string> deviceNames(MidiSystem system, const std::vector<std::string>& portNames) {
  std::vector<std::string> names;
  std::map<std::string, int> seen;
  for (const auto& portName : portNames) {
    std::string name = stableName(system, portName);
    if (const int n = ++seen[name]; n > 1) name += " (" + std::to_string(n) + ")";
    names.push_back(std::move(name));
  }
  return names;
}

// The device names of an RtMidi object's ports, in its order.
std::vector<std::string> portNames(MidiSystem system, RtMidi& rtMidi) {
  std::vector<std::string> names;
  const unsigned count = rtMidi.getPortCount();
  for (unsigned i = 0; i < count; ++i)
    names.push_back(rtMidi.getPortName(i));
  return deviceNames(system, names);
}

// Opens the port called name on a fresh RtMidi object, prepared before it opens;
// nullptr when the port is gone.
template <class Port>
std::unique_ptr<Port> openNamedPort(MidiSystem system, const std::string& name, const std::string& ourPortName,
                                    bool& failed, const std::function<void(Port&)>& prepare = {}) {
  auto rtMidi = makeRtMidi<Port>(system);
  if (!rtMidi) return nullptr;
  rtMidi->setErrorCallback(keepRtMidiError, &failed);
  const auto names = portNames(system, *rtMidi);
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return nullptr;
  const auto index = static_cast<unsigned>(it - names.begin());
  std::optional<JackConnectionWatch> watch;
  if (system == MidiSystem::Jack) watch.emplace(rtMidi->getPortName(index));
  if (prepare) prepare(*rtMidi);
  rtMidi->openPort(index, ourPortName);
  if (failed || !rtMidi->isPortOpen()) return nullptr;
  if (watch && !watch->waitForNewConnection(kConnectionTimeout)) return nullptr;
  return rtMidi;
}

class RtMidiOutputDevice final : public AssemblingOutputDevice {
 public:
  RtMidiOutputDevice(std::unique_ptr<RtMidiOut> out, MidiSystem system, std::unique_ptr<bool> failed)
      : AssemblingOutputDevice(exclusiveLimit(system), [this](const auto& m) { out_->sendMessage(m.bytes, m.count); }),
        failed_(std::move(failed)),
        out_(std::move(out)) {}

 private:
  SendResult feed(const std::uint8_t* bytes, std::size_t count) override {
    *failed_ = false;
    assembler_.feed(bytes, count);
    return *failed_ ? SendResult::Failed : SendResult::Ok;
  }

  // What a device reset does on a wire: all notes off and controllers reset everywhere.
  void resetDevice() override {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
      for (std::uint8_t controller : {123, 121}) {
        const std::uint8_t message[3] = {static_cast<std::uint8_t>(0xB0 | channel), controller, 0};
        out_->sendMessage(message, sizeof message);
      }
    }
  }

  std::unique_ptr<bool> failed_;  // set by RtMidi's error callback; outlives out_
  std::unique_ptr<RtMidiOut> out_;
};

std::string ourPortName(int port) {
  return std::string("Port ") + static_cast<char>('A' + port);
}

std::unique_ptr<OutputDevice> openOutput(MidiSystem system, const std::string& name, int port) {
  if (port < 0 || port > 2) return nullptr;
  auto failed = std::make_unique<bool>(false);
  auto out = openNamedPort<RtMidiOut>(system, name, ourPortName(port), *failed);
  if (!out) return nullptr;
  return std::make_unique<RtMidiOutputDevice>(std::move(out), system, std::move(failed));
}

// Messages leave RtMidi's thread (JACK's process thread, even) through a queue and
// reach the callback on a thread of our own, which may take locks.
class RtMidiInputDevice final : public InputDevice {
 public:
  explicit RtMidiInputDevice(InputCallback callback)
      : callback_(std::move(callback)), originUs_(clock().nowMicroseconds()), thread_([this] { deliverLoop(); }) {}

  ~RtMidiInputDevice() override {
    if (in_) in_->cancelCallback();
    in_.reset();
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  // Called before the port opens, so that its first message is not missed.
  void listen(RtMidiIn& in) {
    in.ignoreTypes(false, false, false);
    in.setCallback(&RtMidiInputDevice::received, this);
  }
  // Keeps the open port until the device closes.
  void adopt(std::unique_ptr<RtMidiIn> in) {
    in->setErrorCallback(keepRtMidiError, nullptr);  // the opener's flag goes out of scope
    in_ = std::move(in);
  }

 private:
  struct Pending {
    std::vector<std::uint8_t> bytes;
    std::uint32_t timeMs;
  };

  static void received(double, std::vector<unsigned char>* message, void* self) {
    auto* device = static_cast<RtMidiInputDevice*>(self);
    if (!message || message->empty()) return;
    const auto timeMs = static_cast<std::uint32_t>((clock().nowMicroseconds() - device->originUs_) / 1000);
    {
      std::lock_guard lock(device->mutex_);
      device->queue_.push_back({*message, timeMs});
    }
    device->wake_.notify_one();
  }

  void deliverLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      Pending next = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      deliver(next);
      lock.lock();
    }
  }

  void deliver(const Pending& message) {
    const auto& bytes = message.bytes;
    const bool exclusive = bytes[0] == 0xF0 || (exclusiveOpen_ && bytes[0] < 0x80);
    if (exclusive) exclusiveOpen_ = bytes.back() != 0xF7;
    if (!exclusive) {
      std::uint32_t packed = 0;
      for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 3); ++i)
        packed |= std::uint32_t{bytes[i]} << (8 * i);
      callback_({InputMessage::Kind::Short, packed, bytes.data(), bytes.size(), message.timeMs});
      return;
    }
    for (std::size_t at = 0; at < bytes.size(); at += kInputBufferSize) {
      const std::size_t count = std::min(kInputBufferSize, bytes.size() - at);
      callback_({InputMessage::Kind::Exclusive, 0, bytes.data() + at, count, message.timeMs});
    }
  }

  InputCallback callback_;
  std::uint64_t originUs_;
  std::unique_ptr<RtMidiIn> in_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Pending> queue_;
  bool stopping_ = false;
  bool exclusiveOpen_ = false;  // an exclusive came in pieces and its end is still due
  std::thread thread_;
};

constexpr const char* kOurInputPortName = "MIDI input";

std::unique_ptr<InputDevice> openInput(MidiSystem system, const std::string& name, InputCallback callback) {
  auto device = std::make_unique<RtMidiInputDevice>(std::move(callback));
  bool failed = false;
  auto in = openNamedPort<RtMidiIn>(system, name, kOurInputPortName, failed,
                                    [&device](RtMidiIn& port) { device->listen(port); });
  if (!in) return nullptr;
  device->adopt(std::move(in));
  return device;
}

// JACK's ports are listed without RtMidi, whose client is opened and activated for it.
template <class Port>
std::vector<std::string> listPorts(MidiSystem system) {
  if (system == MidiSystem::Jack) return deviceNames(system, jackMidiPorts(std::is_same_v<Port, RtMidiOut>));
  auto rtMidi = makeRtMidi<Port>(system);
  if (!rtMidi) return {};
  bool failed = false;
  rtMidi->setErrorCallback(keepRtMidiError, &failed);
  return portNames(system, *rtMidi);
}

class RtMidiOutputBackend final : public OutputBackend {
 public:
  explicit RtMidiOutputBackend(MidiSystem system) : system_(system) {}
  void enumerate(std::vector<OutputDeviceEntry>& list) override {
    for (auto& name : listPorts<RtMidiOut>(system_)) {
      list.push_back(
          {name, DeviceKind::Hardware, [system = system_, name](int port) { return openOutput(system, name, port); }});
    }
  }

 private:
  MidiSystem system_;
};

class RtMidiInputBackend final : public InputBackend {
 public:
  explicit RtMidiInputBackend(MidiSystem system) : system_(system) {}
  void enumerate(std::vector<InputDeviceEntry>& list) override {
    for (auto& name : listPorts<RtMidiIn>(system_)) {
      list.push_back({name, [system = system_, name](InputCallback callback) {
                        return openInput(system, name, std::move(callback));
                      }});
    }
  }

 private:
  MidiSystem system_;
};

}  // namespace

std::shared_ptr<OutputBackend> rtMidiOutputBackend(MidiSystem system) {
  return std::make_shared<RtMidiOutputBackend>(system);
}

std::shared_ptr<InputBackend> rtMidiInputBackend(MidiSystem system) {
  return std::make_shared<RtMidiInputBackend>(system);
}

std::unique_ptr<InputDevice> openVirtualInput(MidiSystem system, const std::string& portName, InputCallback callback) {
  auto device = std::make_unique<RtMidiInputDevice>(std::move(callback));  // outlives in
  auto in = makeRtMidi<RtMidiIn>(system);
  if (!in) return nullptr;
  bool failed = false;
  in->setErrorCallback(keepRtMidiError, &failed);
  device->listen(*in);
  in->openVirtualPort(portName);
  if (failed) return nullptr;
  device->adopt(std::move(in));
  return device;
}

}  // namespace volta::platform::midi
