// Arbitrary bytes as a WRD script, run over a range of song positions with a jump back: the
// interpreter must stay inside its surfaces and always come to a wait.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "player/wrd/interpreter.h"

namespace {

constexpr int kTimebase = 48;
constexpr std::uint32_t kTicksPerMeasure = 4 * kTimebase;

const std::vector<std::uint32_t>& measureTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> t(2048);
    for (std::size_t m = 0; m < t.size(); ++m)
      t[m] = static_cast<std::uint32_t>(m * kTicksPerMeasure);
    return t;
  }();
  return table;
}

volta::wrd::WrdInterpreter& interpreter() {
  static volta::wrd::WrdInterpreter wrd(volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath));
  // Picture and font names in scripts resolve under a folder that does not exist.
  wrd.setProgramDirectory("/nonexistent-volta-fuzz");
  return wrd;
}

void runTo(volta::wrd::WrdInterpreter& wrd, std::uint32_t tick, bool noDisplay) {
  volta::wrd::SongPosition position;
  position.measure = static_cast<int>(tick / kTicksPerMeasure);
  position.tickInMeasure = static_cast<int>(tick % kTicksPerMeasure);
  position.absoluteTick = tick;
  position.liveTick = &position.absoluteTick;
  while (!wrd.process(noDisplay, position)) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  auto& wrd = interpreter();
  // The first byte picks high speed and the step between positions.
  wrd.setHighSpeed((data[0] & 1) != 0);
  const std::uint32_t step = 1 + (data[0] >> 1) * 7u;
  const std::span<const char> script(reinterpret_cast<const char*>(data + 1), size - 1);
  if (!wrd.openText(script, "/nonexistent-volta-fuzz/FUZZ.WRD", "Title", "Memo", measureTable())) return 0;
  wrd.reset(kTimebase);
  for (std::uint32_t i = 0; i < 24; ++i)
    runTo(wrd, i * step, false);
  // A jump back, caught up silently.
  wrd.reset(kTimebase);
  runTo(wrd, 12 * step, true);
  wrd.present();
  return 0;
}
