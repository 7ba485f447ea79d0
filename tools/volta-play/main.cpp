// volta-play: plays songs from a terminal on the player's core.
//
//   volta-play [--device NAME|INDEX] [--module NAME] [--device-module NAME] [--speed N]
//              [--trace FILE] [--render OUT.wav] [--list-devices] SONG...
//
// A SONG that is an LZH archive plays the songs inside it, in the archive's order.
// The engine is loaded by name from the program's folder, exactly as the player does;
// rendering to a file runs an engine linked in here on a clock of its own.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/protocol/error_messages.h"
#include "platform/clock.h"
#include "platform/midi/output_device.h"
#include "platform/midi/software_synth.h"
#include "platform/midi/trace_device.h"
#include "platform/midi/wav_renderer.h"
#include "platform/settings/settings_store.h"
#include "platform/timer.h"
#include "platform/usage.h"
#include "player/core/emulation.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/song_entry_reader.h"
#include "player/core/song_player.h"
#include "player/core/startup/linked_engine.h"
#include "player/core/startup/player_setup.h"

namespace {

using namespace volta;
using core::SongPlayer;

volatile sig_atomic_t interrupted = 0;

constexpr const char* kUsage =
    "usage: volta-play [--device NAME|INDEX] [--module NAME] [--device-module NAME] [--speed N]\n"
    "                  [--trace FILE] [--render OUT.wav] [--list-devices] SONG...\n"
    "an LZH archive as SONG plays the songs inside it\n";

struct Options {
  std::string device;  // empty: port A of the current MIDI template
  std::string songModule;
  std::string deviceModule;
  int speed = 0;
  std::string trace;
  std::string render;
  bool list = false;
  std::vector<std::string> songs;
};

std::optional<int> parseInt(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < -1000 || value > 1000) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--list-devices") {
      options.list = true;
    } else if (arg == "--speed" && hasValue) {
      const auto speed = parseInt(argv[++i]);
      if (!speed) return std::nullopt;
      options.speed = *speed;
    } else if (hasValue && (arg == "--device" || arg == "--module" || arg == "--device-module" || arg == "--trace" ||
                            arg == "--render")) {
      std::string& field = arg == "--device"          ? options.device
                           : arg == "--module"        ? options.songModule
                           : arg == "--device-module" ? options.deviceModule
                           : arg == "--trace"         ? options.trace
                                                      : options.render;
      field = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return std::nullopt;
    } else {
      options.songs.push_back(arg);
    }
  }
  if (!options.list && options.songs.empty()) return std::nullopt;
  return options;
}

int listDevices() {
  const auto devices = platform::midi::enumerateOutputDevices();
  for (std::size_t i = 0; i < devices.size(); ++i)
    std::printf("%zu %s\n", i, devices[i].name.c_str());
  return 0;
}

// A device by index or by name as listed; none when the name is unknown.
std::optional<std::uint32_t> deviceFor(const std::string& text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  const std::uint32_t device = core::portDevice(text);
  if (device == platform::midi::kNoDevice) return std::nullopt;
  return device;
}

std::string clockText(std::uint32_t ms) {
  return core::lengthLabel(ms);
}

// The status: one updating line on a terminal, a plain line a second otherwise.
class StatusLine {
 public:
  explicit StatusLine(bool terminal) : terminal_(terminal) {}

  void show(const SongPlayer& player, std::uint32_t totalMs, int speed) {
    const auto& status = *player.status();
    const std::uint32_t ms = status.songTime / 100;
    const std::uint32_t tempo = status.tempo ? 60'000'000u / status.tempo : 0;
    char line[512];
    std::snprintf(line, sizeof line, "%.60s%s %s/%s bar %u tempo %u", player.title().c_str(),
                  core::speedLabel(speed).c_str(), clockText(ms).c_str(), clockText(totalMs).c_str(),
                  static_cast<unsigned>(status.measure) + 1, tempo);
    if (terminal_) {
      std::printf("\r\033[K%s", line);
      std::fflush(stdout);
    } else if (ms / 1000 != lastSecond_) {
      lastSecond_ = ms / 1000;
      std::printf("%s\n", line);
    }
  }
  void finish() {
    if (terminal_) std::printf("\n");
    std::fflush(stdout);
  }

 private:
  bool terminal_;
  std::uint32_t lastSecond_ = UINT32_MAX;
};

// Every note off on every port, at once.
void silence(core::OutputHandle& output) {
  for (int port = 0; port < 3; ++port)
    for (std::uint32_t channel = 0; channel < 16; ++channel)
      output.sendRaw(port, 0x7BB0 | channel);
  output.flush();
}

class Session {
 public:
  Session(core::PlayerSetup& setup, const Options& options, std::span<const std::uint32_t> devices)
      : setup_(setup), options_(options) {
    player_ = std::make_unique<SongPlayer>(*setup.binding(), devices, setup.definitions());
    setup.prepare(*player_);
    if (!options.deviceModule.empty()) {
      auto playerSettings = setup.songPlayerSettings();
      playerSettings.deviceModule = options.deviceModule;
      player_->configure(playerSettings);
    }
  }

  bool ready() const { return player_->output() != nullptr; }
  bool portOpen(int port) const { return player_->output()->status()->portOpen[port] != 0; }

  // The songs a name stands for: the song itself, or an archive's song members in its
  // order. The archive's problems go to standard error, and whole says whether it had any.
  std::vector<core::MIDIFile> songsNamed(const std::string& name, bool& whole) {
    whole = true;
    core::MIDIFile entry;
    entry.fileName = name;
    entry.module = options_.songModule;
    if (!core::isArchiveName(name)) return {entry};
    core::PlayList list;
    core::SongEntryReader reader(*setup_.binding(), &setup_.archives());
    const auto result = core::addArchive(list, name, core::OpenOptions{options_.songModule}, reader);
    for (const auto& message : result.messages)
      std::fprintf(stderr, "%s\n", message.c_str());
    if (list.files.empty() && result.messages.empty()) std::fprintf(stderr, "%s: no song in it\n", name.c_str());
    whole = !list.files.empty() && result.messages.empty();
    return list.files;
  }

  // 0 when the song played, 1 on a load error, 130 when interrupted.
  template <class Step>
  int play(core::MIDIFile entry, Step&& step) {
    const std::string path =
        entry.archiveMember.empty() ? entry.fileName : entry.fileName + " [" + entry.archiveMember + "]";
    if (const int error = player_->load(core::fullPath({}, entry), entry)) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), protocol::errorMessage(error));
      if (!player_->waveError().empty()) std::fprintf(stderr, "%s: %s\n", path.c_str(), player_->waveError().c_str());
      return 1;
    }
    std::printf("Title: %s\n", player_->title().c_str());
    player_->start(setup_.settings().core, entry, options_.speed, false);
    std::printf("Length: %s, %u measures\n", clockText(entry.lengthMs).c_str(), entry.measures);
    std::printf("Module: %s%s\n", player_->songModule().c_str(), player_->moduleMarker().c_str());
    std::fflush(stdout);
    StatusLine status(isatty(STDOUT_FILENO) != 0);
    player_->poll();
    // A song that never starts (nothing to play) ends after two seconds of waiting.
    for (int idle = 0; !interrupted && (player_->playing() || (player_->status()->songTime == 0 && idle++ < 100));) {
      step();
      player_->poll();
      status.show(*player_, entry.lengthMs, options_.speed);
    }
    status.finish();
    if (interrupted) {
      player_->pause();
      silence(*player_->output());
    }
    player_->unload();
    return interrupted ? 130 : 0;
  }

 private:
  core::PlayerSetup& setup_;
  const Options& options_;
  std::unique_ptr<SongPlayer> player_;
};

int playAll(Session& session, const Options& options, const std::function<void()>& step) {
  int result = 0;
  for (const auto& name : options.songs) {
    bool whole = true;
    const auto songs = session.songsNamed(name, whole);
    if (!whole) result = std::max(result, 1);
    for (const auto& song : songs) {
      result = std::max(result, session.play(song, step));
      if (interrupted) return result;
    }
  }
  return result;
}

// Exit status when the chosen device cannot be opened (no audio output, say), so
// that scripts can fall back to rendering.
constexpr int kExitNoDevice = 3;

int playLive(const Options& options, std::uint32_t device) {
  platform::settings::SettingsStore store;
  core::PlayerSetupOptions setupOptions;
  setupOptions.alwaysPlayWaves = true;
  core::PlayerSetup setup(store, setupOptions);
  const bool bound = setup.bindEngine();
  if (!setup.message().empty()) std::fprintf(stderr, "%s\n", setup.message().c_str());  // or the fallback notice
  if (!bound) return 1;
  // Port A as chosen; ports B and C as the current MIDI template has them.
  const auto current = setup.settings().core.currentTemplate(store);
  const std::array<std::uint32_t, 3> devices{device, core::portDevice(current.ports[1]),
                                             core::portDevice(current.ports[2])};
  Session session(setup, options, devices);
  if (!session.ready()) return std::fprintf(stderr, "%s\n", protocol::errorMessage(0)), 1;
  // Playing into a port whose device did not open would be silence for the song's length.
  if (!session.portOpen(0))
    return std::fprintf(stderr, "volta-play: the device of port A did not open\n"), kExitNoDevice;
  return playAll(session, options, [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); });
}

// A rendering runs the engine linked in, on the renderer's clock; wave files have no place in it.
core::PlayerSetupOptions renderingSetup() {
  core::PlayerSetupOptions options;
  options.binder = core::bindLinkedEngineFor;
  options.waveOpener = [](const std::filesystem::path&, std::string& error) -> std::unique_ptr<core::WavePlayer> {
    error = "wave files are not rendered";
    return nullptr;
  };
  options.alwaysPlayWaves = true;
  return options;
}

// A release (or a reverberation) rings on at most this long after the song's end.
constexpr std::uint32_t kLongestTailMs = 5000;

int render(const Options& options) {
  platform::ManualClock clock;
  platform::ManualTimerService timers(clock);
  platform::installClock(&clock);
  platform::installTimerService(&timers);
  int result = 1;
  {
    // The settings first: they name the SoundFont the renderer loads.
    platform::settings::SettingsStore store;
    core::PlayerSetup setup(store, renderingSetup());
    std::string error;
    auto renderer = platform::midi::WavRenderer::open(options.render, error);
    if (!renderer) {
      std::fprintf(stderr, "%s: %s\n", options.render.c_str(), error.c_str());
    } else if (!setup.bindEngine()) {
      std::fprintf(stderr, "%s\n", setup.message().c_str());
    } else {
      const std::array<std::uint32_t, 1> devices{platform::midi::findOutputDevice(platform::midi::kSoftwareSynthName)};
      Session session(setup, options, devices);
      result = playAll(session, options, [&] {
        timers.advanceMilliseconds(5);
        renderer->renderToNow();
      });
      renderer->renderUntilSilent(kLongestTailMs);  // the last notes' release
      if (!renderer->finish()) result = 1;
    }
  }
  platform::installTimerService(nullptr);
  platform::installClock(nullptr);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (platform::asksForHelp(argc, argv)) return platform::printUsage(kUsage);
  const auto options = parseOptions(argc, argv);
  if (!options) return platform::refuseUsage(kUsage);
  if (!options->trace.empty()) setenv(platform::midi::kTraceEnvironmentVariable, options->trace.c_str(), 1);
  if (options->list) return listDevices();
  signal(SIGINT, [](int) { interrupted = 1; });
  if (!options->render.empty()) return render(*options);

  std::string deviceName = options->device;
  if (deviceName.empty()) deviceName = options->trace.empty() ? "MIDI Mapper" : "Trace";
  const auto device = deviceFor(deviceName);
  if (!device) return std::fprintf(stderr, "volta-play: no MIDI output device \"%s\"\n", deviceName.c_str()), 1;
  return playLive(*options, *device);
}
