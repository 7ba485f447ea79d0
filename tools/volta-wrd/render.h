#pragma once
// Rendering a song's script at song positions into PNG files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "player/core/startup/wrd_setup.h"
#include "player/wrd/surface.h"
#include "tools/volta-wrd/song_clock.h"

namespace volta::tools {

// A position as given on the command line: seconds, or a 1-based measure.
struct RequestedPosition {
  std::optional<double> seconds;
  int measure = 0;
};

struct RenderJob {
  std::filesystem::path song;
  std::filesystem::path script;         // the script to show, found beside the song when not given
  const core::WrdSetup* wrd = nullptr;  // fonts, kana font, DV converter and program folder, as the player has them
  std::vector<RequestedPosition> positions;
  std::filesystem::path outDirectory;
  std::filesystem::path logFile;  // empty: no log
};

// What a script draws on, as the tool drives it: started again from the song's start, run
// silently up to a song position, and written out as a picture.
class ScriptScreen {
 public:
  virtual ~ScriptScreen() = default;
  virtual void restart() = 0;
  virtual void catchUp(const wrd::SongPosition& position) = 0;
  // False when the file cannot be written.
  virtual bool writePicture(const std::filesystem::path& path) const = 0;
};

// Starts the screen, brings it to each requested position in the order given (starting it
// again before a position earlier than the last, as a jump back does) and writes 001.png,
// 002.png, ... one per position; the exit status.
int renderPositions(const RenderJob& job, SongClock& clock, ScriptScreen& screen);

// The top `height` rows of a surface as a PNG file, its indices shown in `colours`.
bool writeSurface(const std::filesystem::path& path, const wrd::Surface& surface, int height,
                  std::span<const std::uint32_t> colours);

// Each renders the job's script: a WRD script (640x400) or a Sherry script (640x480).
int renderWrd(const RenderJob& job, SongClock& clock);
int renderSherry(const RenderJob& job, SongClock& clock);

}  // namespace volta::tools
