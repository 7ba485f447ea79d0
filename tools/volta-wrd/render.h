#pragma once
// Rendering a song's script at song positions into PNG files.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/volta-wrd/song_clock.h"

namespace volta::tools {

// A position as given on the command line: seconds, or a 1-based measure.
struct RequestedPosition {
  std::optional<double> seconds;
  int measure = 0;
};

struct RenderJob {
  std::filesystem::path song;
  std::filesystem::path script;  // the script to show, found beside the song when not given
  std::filesystem::path programDirectory;
  std::vector<RequestedPosition> positions;
  std::filesystem::path outDirectory;
  std::filesystem::path logFile;  // empty: no log
};

// Each writes 001.png, 002.png, ... for the positions in the order given; the exit status.
int renderWrd(const RenderJob& job, SongClock& clock);
int renderSherry(const RenderJob& job, SongClock& clock);

std::filesystem::path pictureName(const std::filesystem::path& directory, std::size_t index);

}  // namespace volta::tools
