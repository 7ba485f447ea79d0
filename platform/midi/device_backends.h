#pragma once
// The real MIDI devices (software synthesizer, ALSA, JACK) join the device lists
// when the library volta_midi_devices is linked: its objects register them at
// start-up. Calling this again does nothing.

namespace volta::platform::midi {

void registerDeviceBackends();

}  // namespace volta::platform::midi
