#pragma once
// The WRD window's display benchmark: five timed tests of the drawing paths (window
// transfer, graphics fill, glyph lookup, glyph drawing, recomposition), each run for a
// fixed time, with the results written on the WRD text screen.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "player/wrd/interpreter.h"

namespace volta::wrd {

inline constexpr std::uint32_t kBenchmarkTestMs = 3000;

// A millisecond tick count that wraps at 2^32.
using TickSource = std::function<std::uint32_t()>;

// How many times each test ran within its time.
struct BenchmarkCounts {
  int transfers = 0;   // whole-window repaints
  int fills = 0;       // 640x400 filled boxes
  int glyphs = 0;      // glyph renders through the glyph cache
  int textPuts = 0;    // single-byte glyphs put on the text layer
  int recomposes = 0;  // text and graphics recomposed over the 640x400 area
};

// The grade of a repaint rate (per second), as Shift JIS text.
std::string_view benchmarkGrade(int repaintsPerSecond);

// The result lines as they are written on the text screen (Shift JIS), with their cells.
struct BenchmarkLine {
  int column = 0;
  int row = 0;
  std::string text;
};
std::vector<BenchmarkLine> benchmarkResultLines(const BenchmarkCounts& counts);

class WindowBenchmark {
 public:
  // `repaintAll` invalidates the whole window and repaints it before it returns.
  WindowBenchmark(WrdInterpreter& wrd, std::function<void()> repaintAll, TickSource ticks);

  // Runs the five tests, writes the results and repaints; blocks for 5 x kBenchmarkTestMs.
  BenchmarkCounts run();

 private:
  void prepareScreen();
  void drawBars();
  void heading(std::string_view text);
  // Calls `action` until kBenchmarkTestMs have passed; the number of calls. With
  // `awaitWrap`, a tick count about to wrap round is first let wrap.
  int timed(bool awaitWrap, const std::function<void()>& action);
  void writeResults(const BenchmarkCounts& counts);

  WrdInterpreter& wrd_;
  std::function<void()> repaintAll_;
  TickSource ticks_;
};

}  // namespace volta::wrd
