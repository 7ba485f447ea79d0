#pragma once
// The engine on a manual clock and timers, with an output whose three ports open no
// device: what the sequencer fuzz targets play their inputs through.

#include <cstdint>

#include "engine/midi_output.h"
#include "platform/clock.h"
#include "platform/midi/output_device.h"
#include "platform/timer.h"

namespace volta::fuzz {

struct ManualEngine {
  platform::ManualClock clock;
  platform::ManualTimerService timers{clock};
  engine::MidiOutput* output = nullptr;
  ManualEngine() {
    platform::installClock(&clock);
    platform::installTimerService(&timers);
    const std::uint32_t none[3] = {platform::midi::kNoDevice, platform::midi::kNoDevice, platform::midi::kNoDevice};
    output = engine::MidiOutput::open(none, 3);
  }
};

}  // namespace volta::fuzz
