// The bridge library's C entry points: the engine library's two exports, with every
// command handed unchanged to the older engine named in the settings. The bridge has no
// sequencer of its own; without the older engine only the version at offset 8 is written.

#include <cstdio>
#include <cstring>

#include "bridge95/older_engine.h"
#include "engine/protocol/records.h"
#include "platform/low_memory.h"
#include "platform/program_folder.h"

namespace {

using namespace volta;

// The command block and the older engine, from library load (attach) to unload (detach).
// A static object, so that its end is registered after the attach: at process exit it
// detaches before anything the older engine made during the attach is torn down.
class Bridge {
 public:
  Bridge() : block_(platform::allocateLow(protocol::kCommandBlockSize)) {
    if (!block_) return;
    const platform::settings::SettingsStore settings;
    std::string reason;
    older_ = bridge95::registerOlderEngine(
        bridge95::searchOlderEngine(bridge95::olderEngineName(settings), platform::programFolder()), reason);
    // The player only learns that the version is wrong; this line says why.
    if (!older_.entry) std::fprintf(stderr, "libvolta95.so: no older engine: %s\n", reason.c_str());
    send(protocol::kAttach);
  }
  ~Bridge() {
    if (!block_) return;
    send(protocol::kDetach);
    bridge95::unregisterOlderEngine(older_);
    platform::freeLow(block_);
  }
  Bridge(const Bridge&) = delete;
  Bridge& operator=(const Bridge&) = delete;

  void* block() const { return block_; }

  std::uint32_t forward() {
    if (!block_) return 0;
    auto& command = protocol::commandAs<protocol::VersionCommand>(block_);
    if (command.code == protocol::kVersion) {
      std::memcpy(command.entryVersion, protocol::kEngineVersion, sizeof protocol::kEngineVersion);
    }
    return older_.entry ? older_.entry(block_) : 0;
  }

 private:
  void send(std::uint32_t code) {
    protocol::commandAs<protocol::CommandHeader>(block_).code = code;
    forward();
  }

  void* block_;
  bridge95::OlderEngine older_;
};

Bridge bridge;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* GetThunkBuffer(void) {
  return bridge.block();
}

__attribute__((visibility("default"))) std::uint32_t MIDIEntry(void) {
  return bridge.forward();
}

}  // extern "C"
