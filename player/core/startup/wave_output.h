#pragma once
// Wave files for the song player through the platform's audio device.

#include <filesystem>
#include <memory>
#include <string>

#include "player/core/song_player.h"

namespace volta::core {

// None, with the reason in error, when the file is malformed or no audio device opens.
std::unique_ptr<WavePlayer> openWaveOutput(const std::filesystem::path& file, std::string& error);

}  // namespace volta::core
