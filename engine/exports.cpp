// The engine library's C entry points.

#include <cstring>

#include "engine/dispatcher.h"
#include "platform/low_memory.h"

namespace {

// The command block lives from library load to unload.
void* commandBlock = nullptr;

__attribute__((constructor)) void attachLibrary() {
  commandBlock = volta::platform::allocateLow(volta::protocol::kCommandBlockSize);
}

__attribute__((destructor)) void detachLibrary() {
  volta::platform::freeLow(commandBlock);
  commandBlock = nullptr;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* GetThunkBuffer(void) {
  return commandBlock;
}

__attribute__((visibility("default"))) std::uint32_t MIDIEntryNT(void* block) {
  return volta::engine::dispatch(block);
}

__attribute__((visibility("default"))) std::uint32_t MIDIEntry(void) {
  if (!commandBlock) return 0;
  auto& command = volta::protocol::commandAs<volta::protocol::VersionCommand>(commandBlock);
  if (command.code == volta::protocol::kVersion) {
    std::memcpy(command.entryVersion, volta::protocol::kEngineVersion, sizeof volta::protocol::kEngineVersion);
  }
  return volta::engine::dispatch(commandBlock);
}

}  // extern "C"
