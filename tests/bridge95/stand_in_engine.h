#pragma once
// A stand-in for the older engine behind the bridge: its "MIDIEntry" takes the command
// block's address, records every call (the address and a copy of the whole block) and
// answers with canned bytes written into the block and a canned result.

#include <cstddef>
#include <cstdint>

#include "engine/protocol/records.h"

#define VOLTA_STAND_IN_EXPORT __attribute__((visibility("default")))

extern "C" {

struct StandInCall {
  const void* block;
  std::uint8_t bytes[volta::protocol::kCommandBlockSize];  // as the call found them
};

VOLTA_STAND_IN_EXPORT std::uint32_t MIDIEntry(void* block);

// Forgets the calls and the answer: result 0, nothing written.
VOLTA_STAND_IN_EXPORT void standInReset();
VOLTA_STAND_IN_EXPORT void standInAnswer(std::uint32_t result);
// Bytes written at that offset of the block by every following call.
VOLTA_STAND_IN_EXPORT void standInPatch(std::uint32_t offset, const void* bytes, std::uint32_t count);

VOLTA_STAND_IN_EXPORT std::size_t standInCallCount();
VOLTA_STAND_IN_EXPORT const StandInCall* standInCall(std::size_t index);

}  // extern "C"
