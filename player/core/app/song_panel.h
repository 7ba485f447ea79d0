#pragma once
// The status panel's song fields: the title line, the counters, the lamps of the
// song and of the output, and their reset at Stop.

#include <cstdint>
#include <string>

#include "engine/protocol/records.h"
#include "player/core/app/frame_view.h"
#include "player/core/app/player_engine.h"

namespace volta::app {

class SongPanel {
 public:
  explicit SongPanel(FrameView& view) : view_(view) {}

  void showTitle(const std::string& utf8);
  // Lamps off, counters at zero, no module.
  void reset();
  // What the load found: the script, document and conversion lamps, the module and the file type.
  void showSong(const EnginePlayer& player, bool script);
  void showCounters(const protocol::SequencerStatus& status, std::uint32_t totalLengthMs, std::uint32_t totalMeasures);
  // The output's mode and port lamps, and the LCD pane after them.
  void showOutput(const protocol::OutputStatus& output);

 private:
  FrameView& view_;
};

}  // namespace volta::app
