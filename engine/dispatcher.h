#pragma once
// The engine's command dispatcher: one command of the command block per call.

#include <cstdint>

#include "engine/live_objects.h"

namespace volta::engine {

class MidiOutput;
class MidiSequencer;

// Runs the command standing in the block; returns the command's result.
std::uint32_t dispatch(void* block);

// The two command groups, each in its own file.
std::uint32_t dispatchSequencerCommand(void* block);  // 32..40
std::uint32_t dispatchOutputCommand(void* block);     // 64..101

LiveObjects<MidiOutput>& liveOutputs();
LiveObjects<MidiSequencer>& liveSequencers();

}  // namespace volta::engine
