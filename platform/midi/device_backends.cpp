// Linking this file in makes the real devices part of the device lists, after the
// trace device: the software synthesizer, then ALSA ports, then JACK ports.

#include "platform/midi/device_backends.h"

#include <mutex>

#include "platform/midi/rtmidi_devices.h"
#include "platform/midi/software_synth.h"

namespace volta::platform::midi {

void registerDeviceBackends() {
  static std::once_flag once;
  std::call_once(once, [] {
    registerOutputBackend(softwareSynthBackend());
    for (MidiSystem system : {MidiSystem::Alsa, MidiSystem::Jack}) {
      registerOutputBackend(rtMidiOutputBackend(system));
      registerInputBackend(rtMidiInputBackend(system));
    }
  });
}

namespace {

// Libraries that link the device layer get the devices without a call of their own.
const bool registered = (registerDeviceBackends(), true);

}  // namespace
}  // namespace volta::platform::midi
