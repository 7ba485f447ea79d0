#include <cstdio>

#include "tools/volta-wrd/render.h"

namespace volta::tools {

// Sherry scripts draw on the 640x480 surface of the Sherry processor, which this tool does not
// drive yet.
int renderSherry(const RenderJob& job, SongClock&) {
  std::fprintf(stderr, "%s: Sherry scripts cannot be rendered by this tool yet\n", job.script.c_str());
  return 1;
}

}  // namespace volta::tools
