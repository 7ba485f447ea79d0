#include <cstdio>

#include "player/wrd/interpreter.h"
#include "tools/volta-wrd/png_writer.h"
#include "tools/volta-wrd/render.h"

namespace volta::tools {

namespace {

constexpr int kWrdImageHeight = 400;

// Opens the script, falling back to DEFAULT.WRD in the program's folder and then to the
// built-in script, as the player does.
void openScript(wrd::WrdInterpreter& wrd, const RenderJob& job, const SongClock& clock) {
  const std::string& title = clock.title();
  const std::string& memo = clock.comment();
  if (wrd.openFile(job.script, title, memo, clock.measureTable())) return;
  std::fprintf(stderr, "%s: no WRD script, using the default one\n", job.script.c_str());
  if (wrd.openFile(job.programDirectory / "DEFAULT.WRD", title, memo.empty() ? title : memo, {})) return;
  wrd.openFile(std::nullopt, title, memo.empty() ? title : memo, {});
}

// Runs the script silently up to `position`, as the player does after a jump.
void catchUp(wrd::WrdInterpreter& wrd, const wrd::SongPosition& position) {
  for (;;) {
    const std::size_t before = wrd.cursor();
    if (wrd.process(true, position) && wrd.cursor() == before) return;
  }
}

bool writeScreen(const wrd::WrdInterpreter& wrd, const std::filesystem::path& path) {
  const wrd::Surface& composite = wrd.screen().composite();
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(wrd::kSurfaceWidth) * kWrdImageHeight);
  for (int y = 0; y < kWrdImageHeight; ++y)
    pixels.insert(pixels.end(), composite.row(y), composite.row(y) + wrd::kSurfaceWidth);
  return writeFile(path, encodeIndexedPng(wrd::kSurfaceWidth, kWrdImageHeight, pixels, wrd.screen().colourTable()));
}

}  // namespace

std::filesystem::path pictureName(const std::filesystem::path& directory, std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%03zu.png", index + 1);
  return directory / name;
}

int renderWrd(const RenderJob& job, SongClock& clock) {
  wrd::WrdInterpreter wrd(wrd::UnifontFace::loadFile(wrd::kDefaultWrdFontPath));
  wrd.setProgramDirectory(job.programDirectory);
  wrd.setKanaFontPath(job.programDirectory / "BU_MARU1.FON");
  wrd.startDebugLog(job.logFile);
  openScript(wrd, job, clock);
  wrd.reset(clock.timeBase());
  std::uint32_t reached = 0;
  for (std::size_t i = 0; i < job.positions.size(); ++i) {
    const RequestedPosition& requested = job.positions[i];
    const auto position =
        requested.seconds ? std::optional(clock.atTime(*requested.seconds)) : clock.atMeasure(requested.measure);
    if (!position) {
      std::fprintf(stderr, "measure %d lies beyond the song's %d measures\n", requested.measure,
                   clock.measureCount() + 1);
      return 1;
    }
    // A position before the last one starts the script again, as a jump back does.
    if (position->absoluteTick < reached) wrd.reset(clock.timeBase());
    reached = position->absoluteTick;
    catchUp(wrd, *position);
    wrd.present();
    const auto path = pictureName(job.outDirectory, i);
    if (!writeScreen(wrd, path)) {
      std::fprintf(stderr, "%s: cannot write\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace volta::tools
