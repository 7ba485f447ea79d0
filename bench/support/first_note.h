#pragma once
// Starting a song until its first note leaves the player: the measure of how soon a
// chosen song is heard.

#include <array>
#include <cstdint>
#include <filesystem>
#include <thread>

#include "platform/midi/output_device.h"
#include "player/core/builtin_definitions.h"
#include "player/core/song_player.h"

namespace volta::bench {

struct BuiltInDefinitions {
  BuiltInDefinitions() { core::loadBuiltInDefinitions(store); }
  core::TINICritical store;
};

// A song player on port A closed: the filter still runs and counts the notes it passes.
struct ClosedPortPlayer : BuiltInDefinitions {
  static constexpr std::array<std::uint32_t, 1> kDevices{platform::midi::kNoDevice};

  ClosedPortPlayer(core::EngineBinding& engine, const std::filesystem::path& tempFolder)
      : player(engine, kDevices, store) {
    core::SongPlayerSettings settings;
    settings.tempFolder = tempFolder;
    player.configure(settings);
  }
  core::SongPlayer player;
};

// Loads the entry, starts it and waits until port A's filter has passed a note, then
// unloads. False when the song does not load.
inline bool playUntilFirstNote(core::SongPlayer& player, const std::filesystem::path& file, core::MIDIFile entry) {
  if (player.load(file, entry) != 0) return false;
  player.start(core::CoreSettings{}, entry, 0, false);
  player.poll();
  while (player.output()->channels()[0].noteOnCounter == 0)
    std::this_thread::yield();
  player.unload();
  return true;
}

}  // namespace volta::bench
