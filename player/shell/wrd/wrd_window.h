#pragma once
// The WRD display window: the WRD interpreter's screen shown in the window, the Sherry
// processor for ".sry" scripts, and the window's own commands (page view, text and
// graphics switches, palette resets, the display benchmark).

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "player/shell/wrd/wrd_window_base.h"
#include "player/wrd/interpreter.h"
#include "player/wrd/sherry/process_wrd.h"
#include "player/wrd/window_benchmark.h"

namespace volta::shell {

inline constexpr int kMaxShownPage = 8;

class TWRDWindow : public T256WRDWindow {
  Q_OBJECT

 public:
  explicit TWRDWindow(QWidget* parent = nullptr, std::shared_ptr<const wrd::UnifontFace> face = nullptr);
  ~TWRDWindow() override;

  wrd::WrdInterpreter& interpreter() { return wrd_; }
  const wrd::WrdInterpreter& interpreter() const { return wrd_; }
  wrd::sherry::SProcessWRD& sherryProcessor() { return processor_; }

  // A script for a song: ".sry" scripts go to the Sherry processor, the rest (or nothing: the
  // built-in script) to the interpreter. False when it cannot be loaded.
  bool openFile(const std::optional<std::filesystem::path>& path, std::string_view title, std::string_view memo,
                wrd::MeasureTable measureTable);
  void reset(int timebase);
  // One display tick; true when the display waits for the song.
  bool process(bool noDisplay, const wrd::SongPosition& position);
  // "HighSpeedWRD": a tick runs everything due at once and repaints through invalidation.
  void setHighSpeed(bool on);
  bool highSpeed() const { return highSpeed_; }

  // The window's commands.
  void showPage(int page);
  void toggleGraphics();
  void toggleText();
  void initialisePalette(bool white);
  // Runs the display benchmark on the WRD screen; blocks for the five tests.
  wrd::BenchmarkCounts benchmark(const wrd::TickSource& ticks);
  wrd::BenchmarkCounts benchmark();

 protected:
  void logLine(std::string_view text) override;
  void painted() override;

 private:
  // Bank 0 applied to the colour table and pushed; the whole screen repainted.
  void pushWholeScreen();

  wrd::WrdInterpreter wrd_;
  wrd::sherry::SProcessWRD processor_;
  bool highSpeed_ = false;
};

}  // namespace volta::shell
