#pragma once
// A song's time line and a lyrics script for the WRD benchmarks.

#include <cstdint>
#include <string>
#include <vector>

#include "player/wrd/interpreter.h"

namespace volta::bench {

inline constexpr int kTimebase = 48;
inline constexpr std::uint32_t kTicksPerMeasure = 4 * kTimebase;

// 2048 measures of four quarter notes.
const std::vector<std::uint32_t>& measureTable();
// The position `tick` ticks into that song.
wrd::SongPosition at(std::uint32_t tick);

// Lines as lyrics scripts are written: text with colours, cursor moves and a few
// graphics under @WMODE(`wmode`); with `pageClears` the text screen is cleared every
// 20 lines. `text` is the words of each line, after its number.
std::string lyricsScript(int lines, int wmode, bool pageClears, const std::string& text);

}  // namespace volta::bench
