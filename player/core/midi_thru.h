#pragma once
// The MIDI THRU input: one input device whose messages go through the router to the
// output while started. What the THRU dialog drives; no window of its own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/input_device.h"
#include "player/core/emulation.h"

namespace volta::core {

class MidiThru {
 public:
  explicit MidiThru(OutputHandle& output) : router_(output) {}
  ~MidiThru() { stop(); }
  MidiThru(const MidiThru&) = delete;
  MidiThru& operator=(const MidiThru&) = delete;

  // The inputs that can be started, in the order of their identifiers.
  static std::vector<std::string> inputNames();

  // Listens to the input with this identifier (the one listened to before is let go);
  // false when it does not open.
  bool start(std::uint32_t input);
  // When this returns, no message of the input reaches the output any more.
  void stop() { input_.reset(); }
  bool running() const { return input_ != nullptr; }

  // Destination and velocity, changeable while running.
  MidiThruRouter& router() { return router_; }

 private:
  void deliver(const platform::midi::InputMessage& message);

  MidiThruRouter router_;
  std::unique_ptr<platform::midi::InputDevice> input_;
};

}  // namespace volta::core
