#include "tests/bridge95/stand_in_engine.h"

#include <cstring>
#include <vector>

namespace {

struct Patch {
  std::uint32_t offset;
  std::vector<std::uint8_t> bytes;
};

struct Answer {
  std::uint32_t result = 0;
  std::vector<Patch> patches;
};

std::vector<StandInCall>& calls() {
  static std::vector<StandInCall> recorded;
  return recorded;
}

Answer& answer() {
  static Answer canned;
  return canned;
}

}  // namespace

extern "C" {

std::uint32_t MIDIEntry(void* block) {
  StandInCall& call = calls().emplace_back();
  call.block = block;
  std::memcpy(call.bytes, block, sizeof call.bytes);
  for (const Patch& patch : answer().patches)
    std::memcpy(static_cast<std::uint8_t*>(block) + patch.offset, patch.bytes.data(), patch.bytes.size());
  return answer().result;
}

void standInReset() {
  calls().clear();
  answer() = {};
}

void standInAnswer(std::uint32_t result) {
  answer().result = result;
}

void standInPatch(std::uint32_t offset, const void* bytes, std::uint32_t count) {
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  answer().patches.push_back({offset, {first, first + count}});
}

std::size_t standInCallCount() {
  return calls().size();
}

const StandInCall* standInCall(std::size_t index) {
  return index < calls().size() ? &calls()[index] : nullptr;
}

}  // extern "C"
