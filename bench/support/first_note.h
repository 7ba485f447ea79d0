#pragma once
// Starting a song until its first note leaves the player: the measure of how soon a
// chosen song is heard.

#include <filesystem>
#include <thread>

#include "player/core/song_player.h"

namespace volta::bench {

// Loads the entry, starts it and waits until port A's filter has passed a note (a closed
// port still counts them), then unloads. False when the song does not load.
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
