#include "player/core/engine_binding.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>

#include "engine/protocol/song_file_type.h"
#include "platform/file_types.h"
#include "platform/low_memory.h"
#include "platform/text.h"
#include "player/core/file_bytes.h"
#include "rcp/song.h"

namespace volta::core {

using platform::text::endsWithIgnoringCase;

using namespace protocol;

namespace {

constexpr std::uint32_t kClosedDevice = 0xFFFFFFFEu;
// Counted without binding a reference to the packed array.
constexpr std::size_t kDeviceSlots = sizeof(OpenOutputCommand::devices) / sizeof(std::uint32_t);

template <class T>
T* lowPointer(std::uint32_t address) {
  return platform::fromLowAddress<T>(address);
}

void noReply(auto&) {}

}  // namespace

std::string_view engineLibraryName(int type) {
  if (type == kBridgeLibrary) return "libvolta95.so";
  if (type == kNativeLibrary) return "libvoltant.so";
  return {};
}

EngineBinding::EngineBinding(int type, const std::filesystem::path& folder) : type_(type) {
  const std::string_view name = engineLibraryName(type);
  if (name.empty()) return;
  // The library stays mapped when its binding goes: the audio and MIDI libraries it pulls
  // in keep once-per-process state that an unload would lose or leave dangling.
  library_ = dlopen((folder / name).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!library_) return;
  auto getBlock = reinterpret_cast<void* (*)()>(dlsym(library_, "GetThunkBuffer"));
  if (!getBlock) {
    dlclose(library_);
    library_ = nullptr;
    return;
  }
  entry_ = reinterpret_cast<std::uint32_t (*)()>(dlsym(library_, "MIDIEntry"));
  block_ = getBlock();
}

EngineBinding::~EngineBinding() {
  if (library_) dlclose(library_);
}

std::uint32_t EngineBinding::run(std::uint32_t code, std::uint32_t handle) {
  return run<CommandHeader>(code, handle, noReply<CommandHeader>, noReply<CommandHeader>);
}

bool EngineBinding::probeVersion(bool& canServe) {
  bool matches = false;
  run<VersionCommand>(
      kVersion, 0, [](VersionCommand& command) { command.canServe = 1; },
      [&](const VersionCommand& command) {
        // Copies: the strings must end inside their fields whatever the engine wrote.
        const std::string entry(command.entryVersion, strnlen(command.entryVersion, sizeof command.entryVersion));
        const std::string dispatcher(command.dispatcherVersion,
                                     strnlen(command.dispatcherVersion, sizeof command.dispatcherVersion));
        matches = entry == kEngineVersion && dispatcher == kEngineVersion;
        canServe = command.canServe == 1;
      });
  return matches;
}

bool EngineBinding::versionMatches() {
  bool canServe = false;
  return probeVersion(canServe);
}

bool EngineBinding::busy() {
  bool canServe = false;
  probeVersion(canServe);
  return !canServe;
}

namespace {

// The preferred library, else the other one with the notice that says so.
std::unique_ptr<EngineBinding> loadEither(const std::filesystem::path& folder, bool prefer32Bit, std::string& message) {
  auto binding = std::make_unique<EngineBinding>(prefer32Bit ? kNativeLibrary : kBridgeLibrary, folder);
  if (binding->loaded()) return binding;
  binding = std::make_unique<EngineBinding>(prefer32Bit ? kBridgeLibrary : kNativeLibrary, folder);
  if (!binding->loaded()) {
    message = "DLLの初期化に失敗しました。VOLTA95.DLLもしくはVOLTA32.DLLが必要です。";
    return nullptr;
  }
  message = prefer32Bit ? "VOLTANT.DLLの初期化に失敗。VOLTA95.DLLを使用します。"
                        : "VOLTA95.DLLの初期化に失敗。VOLTANT.DLLを使用します。";
  return binding;
}

std::unique_ptr<EngineBinding> loadNative(const std::filesystem::path& folder, std::string& message) {
  auto binding = std::make_unique<EngineBinding>(kNativeLibrary, folder);
  if (binding->loaded()) return binding;
  message = "VOLTANT.DLLの初期化に失敗。";
  return nullptr;
}

}  // namespace

std::unique_ptr<EngineBinding> chooseEngine(const std::filesystem::path& folder, const EngineChoice& choice,
                                            std::string& message) {
  auto binding = choice.olderEngine ? loadEither(folder, choice.prefer32Bit, message) : loadNative(folder, message);
  if (!binding) return nullptr;
  if (!binding->versionMatches()) {
    message = "DLLのバージョンが違います。";
    return nullptr;
  }
  if (binding->busy()) {
    message = "VOLTA16.DLLがすでに使われている、もしくは、前回異常終了しました。Windowsを再起動してください";
    return nullptr;
  }
  return binding;
}

// ---- output ----

std::unique_ptr<OutputHandle> OutputHandle::open(EngineBinding& binding, std::span<const std::uint32_t> devices) {
  OpenOutputCommand reply{};
  const std::size_t count = std::min<std::size_t>(devices.size(), kDeviceSlots);
  const std::uint32_t result = binding.run<OpenOutputCommand>(
      kOpenOutput, 0,
      [&](OpenOutputCommand& command) {
        command.portCount = static_cast<std::uint16_t>(count);
        for (std::size_t i = 0; i < kDeviceSlots; ++i)
          command.devices[i] = i < count ? devices[i] : kClosedDevice;
      },
      [&](const OpenOutputCommand& command) { reply = command; });
  if (!result || reply.header.handle == 0) return nullptr;
  return std::unique_ptr<OutputHandle>(new OutputHandle(binding, reply));
}

OutputHandle::OutputHandle(EngineBinding& binding, const OpenOutputCommand& reply)
    : binding_(binding),
      handle_(reply.header.handle),
      status_(lowPointer<OutputStatus>(reply.status)),
      panel_(lowPointer<PanelImage>(reply.panel)),
      channels_(lowPointer<ChannelState>(reply.channels)),
      settings_(lowPointer<OutputSettings>(reply.settings)) {}

OutputHandle::~OutputHandle() {
  binding_.run(kCloseOutput, handle_);
}

void OutputHandle::word(std::uint32_t code, std::uint16_t value) {
  binding_.run<WordCommand>(
      code, handle_, [&](WordCommand& command) { command.value = value; }, noReply<WordCommand>);
}

void OutputHandle::shortMessage(std::uint32_t code, int port, std::uint32_t message) {
  binding_.run<SendShortCommand>(
      code, handle_,
      [&](SendShortCommand& command) {
        command.port = static_cast<std::uint16_t>(port);
        command.message = message;
      },
      noReply<SendShortCommand>);
}

void OutputHandle::setMuteMask(std::uint32_t mask) {
  binding_.run<MuteMaskCommand>(
      kMuteMask, handle_, [&](MuteMaskCommand& command) { command.mask = mask; }, noReply<MuteMaskCommand>);
}

void OutputHandle::setMasterVolume(std::uint16_t volume) {
  word(kMasterVolume, volume);
}
void OutputHandle::setTransposition(std::int16_t semitones) {
  word(kTransposition, static_cast<std::uint16_t>(semitones));
}
void OutputHandle::setMeterMode(std::uint16_t mode) {
  word(kMeterMode, mode);
}

void OutputHandle::setOptions(bool pace, bool resetDevices) {
  binding_.run<OutputOptionsCommand>(
      kOutputOptions, handle_,
      [&](OutputOptionsCommand& command) {
        command.midiRate = pace ? 1 : 0;
        command.useReset = resetDevices ? 1 : 0;
      },
      noReply<OutputOptionsCommand>);
}

void OutputHandle::sendExclusive(int port, std::span<const std::uint8_t> bytes) {
  // The bytes follow the record inside the command block.
  constexpr std::size_t kRoom = kCommandBlockSize - offsetof(SendExclusiveCommand, bytes);
  const std::size_t count = std::min(bytes.size(), kRoom);
  binding_.run<SendExclusiveCommand>(
      kSendExclusive, handle_,
      [&](SendExclusiveCommand& command) {
        command.port = static_cast<std::uint16_t>(port);
        command.count = static_cast<std::uint16_t>(count);
        std::memcpy(reinterpret_cast<std::uint8_t*>(&command) + offsetof(SendExclusiveCommand, bytes), bytes.data(),
                    count);
      },
      noReply<SendExclusiveCommand>);
}

void OutputHandle::sendRaw(int port, std::uint32_t message) {
  shortMessage(kSendShortQueued, port, message);
}
void OutputHandle::sendFiltered(int port, std::uint32_t message) {
  shortMessage(kSendShortFiltered, port, message);
}

void OutputHandle::queuePause(int port) {
  binding_.run<PortCommand>(
      kQueuePause, handle_, [&](PortCommand& command) { command.port = static_cast<std::uint16_t>(port); },
      noReply<PortCommand>);
}

void OutputHandle::resetPort(int port, int mode) {
  binding_.run<ResetPortCommand>(
      kResetPort, handle_,
      [&](ResetPortCommand& command) {
        command.port = static_cast<std::uint16_t>(port);
        command.mode = static_cast<std::uint16_t>(mode);
      },
      noReply<ResetPortCommand>);
}

void OutputHandle::flush() {
  binding_.run(kFlush, handle_);
}

// ---- songs ----

// The engine goes by a name's last letters, whether a dot stands before them or not.
std::uint16_t songFileType(std::string_view name) {
  if (endsWithIgnoringCase(name, platform::kConvertedSongExtension)) return kFileSMF;
  if (name.size() < 3) return 0;
  return fileTypeOf(platform::songFormatOfExtension(name.substr(name.size() - 3)));
}

// Collections hold G36 songs named .rcp and the reverse.
std::uint16_t songFileType(std::uint16_t byName, std::string_view bytes) {
  rcp::Family family{};
  if (byName != kFileRCP && byName != kFileG36) return byName;
  if (!rcp::recognise(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), family)) return byName;
  return family == rcp::Family::G36 ? kFileG36 : kFileRCP;
}

SongOpening SongHandle::open(EngineBinding& binding, const OutputHandle* output, const std::filesystem::path& file) {
  const std::uint16_t byName = songFileType(file.filename().string());
  if (byName == 0) return {nullptr, kErrUnknownFile};
  const auto bytes = readFileBytes(file);
  if (!bytes || bytes->size() > UINT32_MAX) return {nullptr, kErrOpenFile};
  const std::uint16_t type = songFileType(byName, *bytes);

  std::lock_guard lock(binding.mutex());
  OpenSequencerCommand reply{};
  binding.run<OpenSequencerCommand>(
      kOpenSequencer, 0,
      [&](OpenSequencerCommand& command) {
        command.outputHandle = output ? output->handle() : 0;
        command.fileType = type;
        command.dataSize = static_cast<std::uint32_t>(bytes->size());
      },
      [&](const OpenSequencerCommand& command) { reply = command; });
  if (reply.header.handle == 0) return {nullptr, reply.error};
  std::unique_ptr<SongHandle> song(new SongHandle(binding, reply));
  if (reply.data == 0 && !bytes->empty()) return {nullptr, kErrNoMemory};  // closes the sequencer again
  if (!bytes->empty()) std::memcpy(lowPointer<char>(reply.data), bytes->data(), bytes->size());
  return {std::move(song), reply.error};
}

SongHandle::SongHandle(EngineBinding& binding, const OpenSequencerCommand& reply)
    : binding_(binding),
      handle_(reply.header.handle),
      status_(lowPointer<SequencerStatus>(reply.status)),
      playControl_(lowPointer<PlayControl>(reply.playControl)),
      measureTable_(lowPointer<std::uint32_t>(reply.measureTable)) {}

SongHandle::~SongHandle() {
  binding_.run(kCloseSequencer, handle_);
}

void SongHandle::seek(std::uint32_t time) {
  binding_.run<SeekCommand>(
      kSeek, handle_, [&](SeekCommand& command) { command.targetTime = time; }, noReply<SeekCommand>);
}

void SongHandle::pause() {
  binding_.run(kPause, handle_);
}
void SongHandle::play() {
  binding_.run(kPlay, handle_);
}

void SongHandle::setTimerPeriod(std::uint16_t ms) {
  binding_.run<TimerPeriodCommand>(
      kTimerPeriod, handle_, [&](TimerPeriodCommand& command) { command.periodMs = ms; }, noReply<TimerPeriodCommand>);
}

SongLength SongHandle::scanLength() {
  SongLength length;
  binding_.run<ScanLengthCommand>(kScanLength, handle_, noReply<ScanLengthCommand>,
                                  [&](const ScanLengthCommand& command) {
                                    length.error = command.error;
                                    length.totalTime = command.totalTime;
                                    length.measures = command.measures;
                                  });
  return length;
}

SongTitles SongHandle::titles() {
  SongTitles titles;
  titles.ok =
      binding_.run<PrepareCommand>(kPrepare, handle_, noReply<PrepareCommand>, [&](const PrepareCommand& command) {
        titles.error = command.error;
        titles.title.assign(command.title, strnlen(command.title, sizeof command.title));
        titles.comment.assign(command.comment, strnlen(command.comment, sizeof command.comment));
      }) != 0;
  return titles;
}

}  // namespace volta::core
