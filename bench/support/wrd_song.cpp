#include "bench/support/wrd_song.h"

namespace volta::bench {

const std::vector<std::uint32_t>& measureTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> t(2048);
    for (std::size_t m = 0; m < t.size(); ++m)
      t[m] = static_cast<std::uint32_t>(m * kTicksPerMeasure);
    return t;
  }();
  return table;
}

wrd::SongPosition at(std::uint32_t tick) {
  wrd::SongPosition p;
  p.measure = static_cast<int>(tick / kTicksPerMeasure);
  p.tickInMeasure = static_cast<int>(tick % kTicksPerMeasure);
  p.absoluteTick = tick;
  return p;
}

std::string lyricsScript(int lines, int wmode, bool pageClears, const std::string& text) {
  std::string s = "@STARTUP(400);\n@WMODE(" + std::to_string(wmode) + ");\n";
  for (int i = 0; i < lines; ++i) {
    switch (i % 20) {
      case 0:
        s += pageClears ? "@ESC(2J)\n" : "@COLOR(37)\n";
        break;
      case 5:
        s += "@COLOR(3" + std::to_string(i % 8) + ")\n";
        break;
      case 10:
        s += "@GLINE(" + std::to_string(i % 600) + ",100,639,120,3,2,3)\n";
        break;
      case 15:
        s += "@LOCATE(10," + std::to_string(i % 24 + 1) + ");\n";
        break;
      default:
        s += "Line " + std::to_string(i) + text + "\n";
        break;
    }
  }
  return s;
}

}  // namespace volta::bench
