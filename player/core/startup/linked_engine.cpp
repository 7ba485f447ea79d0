#include "player/core/startup/linked_engine.h"

#include <cstring>

#include "engine/dispatcher.h"
#include "platform/low_memory.h"

namespace volta::core {
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

std::unique_ptr<EngineBinding> bindLinkedEngine() {
  if (!block) block = platform::allocateLow(protocol::kCommandBlockSize);
  if (!block) return nullptr;
  return std::make_unique<EngineBinding>(block, &entry);
}

std::unique_ptr<EngineBinding> bindLinkedEngineFor(const std::filesystem::path&, const EngineChoice&,
                                                   std::string& message) {
  auto binding = bindLinkedEngine();
  if (!binding) message = "No memory for the engine's command block.";
  return binding;
}

}  // namespace volta::core
