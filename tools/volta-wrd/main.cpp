// volta-wrd: renders a song's WRD screen at song positions into PNG files.
//
//   volta-wrd SONG [--script S] --at 12.5s --at m20 ... --out DIR [--log FILE]
//
// "Ns" is a time in seconds, "mN" the start of 1-based measure N. One picture per position,
// 001.png, 002.png, ... in the order given: 640x400 for WRD scripts, 640x480 for Sherry ones.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/settings/settings_store.h"
#include "platform/usage.h"
#include "player/core/startup/linked_engine.h"
#include "player/core/startup/player_setup.h"
#include "player/wrd/script_lookup.h"
#include "tools/volta-wrd/render.h"

namespace {

using volta::tools::RenderJob;
using volta::tools::RequestedPosition;

bool parsePosition(const std::string& text, RequestedPosition& out) {
  char* end = nullptr;
  if (text.size() > 1 && text.front() == 'm') {
    const long measure = std::strtol(text.c_str() + 1, &end, 10);
    out.measure = static_cast<int>(measure);
    return *end == '\0' && measure >= 1 && measure <= 65535;
  }
  if (text.size() > 1 && text.back() == 's') {
    const double seconds = std::strtod(text.c_str(), &end);
    out.seconds = seconds;
    return end == text.c_str() + text.size() - 1 && seconds >= 0 && seconds < 1e6;
  }
  return false;
}

constexpr const char* kUsage = "usage: volta-wrd SONG [--script S] --at Ns|mN ... --out DIR [--log FILE]\n";

bool parseArguments(int argc, char** argv, RenderJob& job) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--at" && hasValue) {
      RequestedPosition position;
      if (!parsePosition(argv[++i], position)) return false;
      job.positions.push_back(position);
    } else if (arg == "--script" && hasValue) {
      job.script = argv[++i];
    } else if (arg == "--out" && hasValue) {
      job.outDirectory = argv[++i];
    } else if (arg == "--log" && hasValue) {
      job.logFile = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && job.song.empty()) {
      job.song = arg;
    } else {
      return false;
    }
  }
  return !job.song.empty() && !job.positions.empty() && !job.outDirectory.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (volta::platform::asksForHelp(argc, argv)) return volta::platform::printUsage(kUsage);
  RenderJob job;
  if (!parseArguments(argc, argv, job)) return volta::platform::refuseUsage(kUsage);
  std::error_code ec;
  std::filesystem::create_directories(job.outDirectory, ec);
  // The song is scanned by the engine linked in; fonts and options come from the settings, as in the player.
  volta::platform::settings::SettingsStore store;
  volta::core::PlayerSetupOptions options;
  options.binder = volta::core::bindLinkedEngineFor;
  volta::core::PlayerSetup setup(store, options);
  if (!setup.bindEngine()) {
    std::fprintf(stderr, "volta-wrd: %s\n", setup.message().c_str());
    return 1;
  }
  job.wrd = &setup.wrd();
  if (job.script.empty()) job.script = volta::wrd::lookupScriptSource(job.song, setup.settings().wrd.sryEnable);
  std::string error;
  auto clock = volta::tools::SongClock::open(*setup.binding(), job.song, error);
  if (!clock) {
    std::fprintf(stderr, "%s: %s\n", job.song.c_str(), error.c_str());
    return 1;
  }
  return volta::wrd::isSherryScriptPath(job.script) ? volta::tools::renderSherry(job, *clock)
                                                    : volta::tools::renderWrd(job, *clock);
}
