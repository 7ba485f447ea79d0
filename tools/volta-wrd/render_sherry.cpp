#include <cstdio>

#include "player/wrd/sherry/process_wrd.h"
#include "tools/volta-wrd/render.h"

namespace volta::tools {

namespace {

using wrd::sherry::SDisplay;
using wrd::sherry::SProcessWRD;

class SherryScreen final : public ScriptScreen {
 public:
  SherryScreen(const RenderJob& job, const SongClock& clock)
      : clock_(clock), display_(job.wrd->face()), processor_(display_) {}

  // False (with the reason told) when the script cannot be read or is not a Sherry script.
  bool open(const std::filesystem::path& script) {
    // A script error stops only the script: what it drew before stays on the display.
    processor_.setErrorHook([script](std::string_view message) {
      std::fprintf(stderr, "%s: %.*s\n", script.c_str(), static_cast<int>(message.size()), message.data());
    });
    return processor_.openFile(script);
  }

  // The display is blanked too, so that a picture depends only on its position and not on
  // the positions rendered before it.
  void restart() override {
    display_.clear();
    processor_.reset(clock_.timeBase());
  }

  void catchUp(const wrd::SongPosition& position) override { processor_.processTick(position.absoluteTick); }

  bool writePicture(const std::filesystem::path& path) const override {
    return writeSurface(path, display_.surface(), wrd::sherry::kDisplayHeight, display_.colours());
  }

 private:
  const SongClock& clock_;
  SDisplay display_;
  SProcessWRD processor_;
};

}  // namespace

int renderSherry(const RenderJob& job, SongClock& clock) {
  SherryScreen screen(job, clock);
  if (screen.open(job.script)) return renderPositions(job, clock, screen);
  // As in the player, a script that cannot be opened gives way to the default WRD script.
  return renderWrd(job, clock);
}

}  // namespace volta::tools
