#include "tools/volta-wrd/render.h"

#include <cstdio>

#include "tools/volta-wrd/png_writer.h"

namespace volta::tools {

namespace {

std::filesystem::path pictureName(const std::filesystem::path& directory, std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%03zu.png", index + 1);
  return directory / name;
}

}  // namespace

int renderPositions(const RenderJob& job, SongClock& clock, ScriptScreen& screen) {
  screen.restart();
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
    if (position->absoluteTick < reached) screen.restart();
    reached = position->absoluteTick;
    screen.catchUp(*position);
    const auto path = pictureName(job.outDirectory, i);
    if (!screen.writePicture(path)) {
      std::fprintf(stderr, "%s: cannot write\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

bool writeSurface(const std::filesystem::path& path, const wrd::Surface& surface, int height,
                  std::span<const std::uint32_t> colours) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(wrd::kSurfaceWidth) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    pixels.insert(pixels.end(), surface.row(y), surface.row(y) + wrd::kSurfaceWidth);
  return writeFile(path, encodeIndexedPng(wrd::kSurfaceWidth, height, pixels, colours));
}

}  // namespace volta::tools
