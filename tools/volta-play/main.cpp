// volta-play: plays songs through the engine library from a terminal.
//
//   volta-play [--device NAME|INDEX] [--speed N] [--list-devices] SONG...
//
// The engine is loaded by name from the program's folder, exactly as the player does.

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"
#include "platform/low_memory.h"
#include "platform/midi/output_device.h"

namespace {

using namespace volta::protocol;

volatile sig_atomic_t interrupted = 0;

class Engine {
 public:
  bool load(const std::filesystem::path& folder) {
    library_ = dlopen((folder / "libvoltant.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) return false;
    auto getBlock = reinterpret_cast<void* (*)()>(dlsym(library_, "GetThunkBuffer"));
    entry_ = reinterpret_cast<std::uint32_t (*)()>(dlsym(library_, "MIDIEntry"));
    if (!getBlock || !entry_) return false;
    block_ = getBlock();
    return block_ != nullptr;
  }
  ~Engine() {
    if (library_) dlclose(library_);
  }

  template <class Record>
  Record& begin(std::uint32_t code, std::uint32_t handle = 0) {
    std::memset(block_, 0, sizeof(Record));
    auto& header = commandAs<CommandHeader>(block_);
    header.code = code;
    header.length = sizeof(Record);
    header.handle = handle;
    return commandAs<Record>(block_);
  }
  std::uint32_t call() { return entry_(); }

  bool versionMatches() {
    auto& command = begin<VersionCommand>(kVersion);
    command.canServe = 1;
    call();
    return std::strcmp(command.entryVersion, kEngineVersion) == 0 &&
           std::strcmp(command.dispatcherVersion, kEngineVersion) == 0 && command.canServe == 1;
  }

 private:
  void* library_ = nullptr;
  void* block_ = nullptr;
  std::uint32_t (*entry_)() = nullptr;
};

std::uint16_t fileTypeOf(const std::string& name) {
  std::string ext = name.size() >= 3 ? name.substr(name.size() - 3) : "";
  for (auto& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ext == "MID" || ext == "SMF" || ext == "MFF" || ext == "RMI") return kFileSMF;
  if (ext == "RCP" || ext == "R36") return kFileRCP;
  if (ext == "G18" || ext == "G36") return kFileG36;
  return 0;
}

struct Options {
  std::uint32_t device = volta::platform::midi::kMapperDevice;
  std::int16_t speed = 0;
  std::vector<std::string> songs;
};

int listDevices() {
  const auto devices = volta::platform::midi::enumerateOutputDevices();
  for (std::size_t i = 0; i < devices.size(); ++i) std::printf("%zu %s\n", i, devices[i].name.c_str());
  return 0;
}

std::uint32_t parseDevice(const std::string& text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), ::isdigit)) return static_cast<std::uint32_t>(std::stoul(text));
  if (text == "MIDI Mapper") return volta::platform::midi::kMapperDevice;
  return volta::platform::midi::findOutputDevice(text);
}

int playSong(Engine& engine, std::uint32_t output, const std::string& path, std::int16_t speed) {
  const std::uint16_t type = fileTypeOf(path);
  if (type == 0) return std::fprintf(stderr, "%s: %s\n", path.c_str(), errorMessage(kErrUnknownFile)), 1;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::fprintf(stderr, "%s: %s\n", path.c_str(), errorMessage(kErrOpenFile)), 1;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  auto& open = engine.begin<OpenSequencerCommand>(kOpenSequencer);
  open.outputHandle = output;
  open.fileType = type;
  open.dataSize = static_cast<std::uint32_t>(bytes.size());
  const std::uint32_t song = engine.call();
  if (!song) return std::fprintf(stderr, "%s: %s\n", path.c_str(), errorMessage(open.error)), 1;
  std::memcpy(volta::platform::fromLowAddress<char>(open.data), bytes.data(), bytes.size());
  auto* status = volta::platform::fromLowAddress<SequencerStatus>(open.status);

  auto& prepare = engine.begin<PrepareCommand>(kPrepare, song);
  if (!engine.call()) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), errorMessage(prepare.error));
    engine.begin<CommandHeader>(kCloseSequencer, song);
    engine.call();
    return 1;
  }
  std::printf("Title: %s\n", prepare.title[0] ? prepare.title : std::filesystem::path(path).filename().c_str());
  auto& scan = engine.begin<ScanLengthCommand>(kScanLength, song);
  engine.call();
  const std::uint32_t totalMs = scan.totalTime / 100;
  std::printf("Length: %u:%02u, %u measures\n", totalMs / 60000, totalMs / 1000 % 60, scan.measures);

  status->playControl.speed = speed;
  engine.begin<SeekCommand>(kSeek, song);
  engine.call();
  engine.begin<CommandHeader>(kPlay, song);
  engine.call();
  while (status->playing && !interrupted) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  engine.begin<CommandHeader>(kCloseSequencer, song);
  engine.call();
  return interrupted ? 130 : 0;
}

bool parseOptions(int argc, char** argv, Options& options, bool& list) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list-devices") {
      list = true;
    } else if ((arg == "--device" || arg == "--speed") && i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--device") options.device = parseDevice(value);
      else options.speed = static_cast<std::int16_t>(std::stoi(value));
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      options.songs.push_back(arg);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  bool list = false;
  if (!parseOptions(argc, argv, options, list) || (!list && options.songs.empty())) {
    std::fprintf(stderr, "usage: volta-play [--device NAME|INDEX] [--speed N] [--list-devices] SONG...\n");
    return 2;
  }
  if (list) return listDevices();
  signal(SIGINT, [](int) { interrupted = 1; });

  Engine engine;
  const auto folder = std::filesystem::canonical("/proc/self/exe").parent_path();
  if (!engine.load(folder)) return std::fprintf(stderr, "VOLTANT.DLLの初期化に失敗。\n"), 1;
  if (!engine.versionMatches()) return std::fprintf(stderr, "DLLのバージョンが違います。\n"), 1;

  auto& open = engine.begin<OpenOutputCommand>(kOpenOutput);
  open.portCount = 3;
  for (auto& device : open.devices) device = volta::platform::midi::kNoDevice;
  open.devices[0] = options.device;
  const std::uint32_t output = engine.call() ? open.header.handle : 0;

  int result = 0;
  for (const auto& song : options.songs) {
    result = playSong(engine, output, song, options.speed);
    if (interrupted) break;
  }
  engine.begin<CommandHeader>(kCloseOutput, output);
  engine.call();
  return result;
}
