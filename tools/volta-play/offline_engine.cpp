#include "tools/volta-play/offline_engine.h"

#include <cstring>

#include "engine/dispatcher.h"
#include "platform/low_memory.h"

namespace volta::play {
namespace {

void* block = nullptr;

// As the library's entry: the version command gets the entry's version too.
std::uint32_t entry() {
  auto& command = protocol::commandAs<protocol::VersionCommand>(block);
  if (command.code == protocol::kVersion)
    std::memcpy(command.entryVersion, protocol::kEngineVersion, sizeof protocol::kEngineVersion);
  return engine::dispatch(block);
}

}  // namespace

std::unique_ptr<core::EngineBinding> bindOfflineEngine() {
  if (!block) block = platform::allocateLow(protocol::kCommandBlockSize);
  if (!block) return nullptr;
  return std::make_unique<core::EngineBinding>(block, &entry);
}

}  // namespace volta::play
