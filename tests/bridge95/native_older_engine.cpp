// An older engine for the bridge made of the native engine library: its dispatcher speaks
// the same protocol on whatever block it is given, so the bridge can be played through
// onto real devices.

#include <cstdint>

extern "C" {

std::uint32_t MIDIEntryNT(void* block);

__attribute__((visibility("default"))) std::uint32_t MIDIEntry(void* block) {
  return MIDIEntryNT(block);
}

}  // extern "C"
