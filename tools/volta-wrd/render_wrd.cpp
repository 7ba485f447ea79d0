#include <cstdio>

#include "player/wrd/interpreter.h"
#include "tools/volta-wrd/render.h"

namespace volta::tools {

namespace {

constexpr int kWrdImageHeight = 400;

class WrdScreen final : public ScriptScreen {
 public:
  WrdScreen(const RenderJob& job, const SongClock& clock) : clock_(clock), wrd_(job.wrd->face()) {
    job.wrd->applyTo(wrd_);
    wrd_.startDebugLog(job.logFile);
    openScript(job);
  }

  void restart() override { wrd_.reset(clock_.timeBase()); }

  // Runs the script silently up to `position`, as the player does after a jump.
  void catchUp(const wrd::SongPosition& position) override {
    for (;;) {
      const std::size_t before = wrd_.cursor();
      if (wrd_.process(true, position) && wrd_.cursor() == before) break;
    }
    wrd_.present();
  }

  bool writePicture(const std::filesystem::path& path) const override {
    return writeSurface(path, wrd_.screen().composite(), kWrdImageHeight, wrd_.screen().colourTable());
  }

 private:
  // Opens the script, falling back to DEFAULT.WRD in the program's folder and then to the
  // built-in script, as the player does.
  void openScript(const RenderJob& job) {
    const std::string& title = clock_.title();
    const std::string& memo = clock_.comment();
    if (wrd_.openFile(job.script, title, memo, clock_.measureTable())) return;
    std::fprintf(stderr, "%s: no WRD script, using the default one\n", job.script.c_str());
    if (wrd_.openFile(job.wrd->programFolder() / "DEFAULT.WRD", title, memo.empty() ? title : memo, {})) return;
    wrd_.openFile(std::nullopt, title, memo.empty() ? title : memo, {});
  }

  const SongClock& clock_;
  wrd::WrdInterpreter wrd_;
};

}  // namespace

int renderWrd(const RenderJob& job, SongClock& clock) {
  WrdScreen screen(job, clock);
  return renderPositions(job, clock, screen);
}

}  // namespace volta::tools
