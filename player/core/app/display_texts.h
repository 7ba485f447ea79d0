#pragma once
// The texts the main frame shows: the window title, the status panel's counters
// and the song texts decoded from CP932.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/protocol/records.h"
#include "platform/text.h"

namespace volta::app {

// Song texts reach the frame as UTF-8 decoded from CP932.

using platform::text::cp932ToUtf8;

// What the title is made of.
struct TitleState {
  bool listNamed = false;
  bool listModified = false;
  std::string listFileName;  // UTF-8 file name
  bool showSong = false;     // playing, or the list is not empty
  std::string songTitle;     // CP932 bytes of the current entry's title
  int sortMode = 0;
  bool playing = false;
  bool paused = false;
  bool selecting = false;  // a selection deadline runs
  int speed = 0;
};

// The part before "VOLTA Player": the list or the song, each followed by " - ".
std::string titlePrefix(const TitleState& state);
// The main window's title, UTF-8.
std::string windowTitle(const TitleState& state);
// The list pane's own frame: the same first part, "VOLTA Player (Order list)".
std::string listFrameTitle(const TitleState& state);

// The status panel's counters from the song status block.
struct Counters {
  std::string time;   // "%02d:%02d/%02d:%02d"
  std::string bar;    // "%04d/%04d"
  std::string beat;   // "%02d/%02d"
  std::string ticks;  // "%04d/%04d"
  std::string tempo;  // "%03d"
};
Counters counters(const protocol::SequencerStatus& status, std::uint32_t totalLengthMs, std::uint32_t totalMeasures);

}  // namespace volta::app
