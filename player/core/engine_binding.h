#pragma once
// The player's side of the engine: the engine library loaded by name from the
// program's folder, one lock around every command, and the player's records of an
// opened sequencer (SongHandle) and of the opened output (OutputHandle).

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "engine/protocol/records.h"
#include "platform/program_folder.h"

namespace volta::core {

// 0 the bridge to the older engine (not built on this system), 1 the native engine.
inline constexpr int kBridgeLibrary = 0;
inline constexpr int kNativeLibrary = 1;

// The file name of a library type, or empty for any other type.
std::string_view engineLibraryName(int type);

// The folder of the running program, where the engine libraries lie.
using platform::programFolder;

class EngineBinding {
 public:
  // Loads the library of that type from the folder; a library without
  // "GetThunkBuffer" counts as not loaded, one without "MIDIEntry" stays unbound.
  EngineBinding(int type, const std::filesystem::path& folder);
  // An engine linked into the program itself (offline rendering on its clock).
  EngineBinding(void* block, std::uint32_t (*entry)()) : block_(block), entry_(entry), type_(kNativeLibrary) {}
  ~EngineBinding();
  EngineBinding(const EngineBinding&) = delete;
  EngineBinding& operator=(const EngineBinding&) = delete;

  bool loaded() const { return block_ != nullptr; }
  bool bound() const { return entry_ != nullptr; }
  int type() const { return type_; }

  bool versionMatches();
  // True when the engine cannot serve this program.
  bool busy();

  // One command: under the lock, fill writes the request into the block (whose
  // code, length and handle are already set), the entry runs when bound, and
  // read takes the reply. Without an entry the reply is what fill wrote and the
  // result is 0.
  template <class Record, class Fill, class Read>
  std::uint32_t run(std::uint32_t code, std::uint32_t handle, Fill&& fill, Read&& read) {
    std::lock_guard lock(mutex_);
    if (!block_) return 0;
    std::memset(block_, 0, sizeof(Record));
    auto& header = protocol::commandAs<protocol::CommandHeader>(block_);
    header.code = code;
    header.length = sizeof(Record);
    header.handle = handle;
    auto& record = protocol::commandAs<Record>(block_);
    fill(record);
    const std::uint32_t result = entry_ ? entry_() : 0;
    read(record);
    return result;
  }
  // A command with no request or reply fields beyond the header.
  std::uint32_t run(std::uint32_t code, std::uint32_t handle);

  // Held by callers whose command needs more than the block (the song data copy).
  std::recursive_mutex& mutex() { return mutex_; }

 private:
  bool probeVersion(bool& canServe);

  std::recursive_mutex mutex_;
  void* library_ = nullptr;
  void* block_ = nullptr;
  std::uint32_t (*entry_)() = nullptr;
  int type_;
};

// Which libraries the start-up path may bind. Where an older engine is installed for the
// bridge (the setting "BridgeEngine" names it) both may serve and "DLLTypeIs32Bit" says
// which one is tried first; elsewhere only the native library is tried.
struct EngineChoice {
  bool olderEngine = false;
  bool prefer32Bit = false;
};

// Binding as the player does at start-up: nullptr and the user's message when no library
// loads, or it has another version or is busy; a binding with a notice in message when
// the preferred library did not load and the other one serves.
std::unique_ptr<EngineBinding> chooseEngine(const std::filesystem::path& folder, const EngineChoice& choice,
                                            std::string& message);

class OutputHandle {
 public:
  // Command 64 with up to eight device identifiers (unused slots stay closed).
  static std::unique_ptr<OutputHandle> open(EngineBinding& binding, std::span<const std::uint32_t> devices);
  ~OutputHandle();  // command 65
  OutputHandle(const OutputHandle&) = delete;
  OutputHandle& operator=(const OutputHandle&) = delete;

  std::uint32_t handle() const { return handle_; }
  EngineBinding& binding() const { return binding_; }
  protocol::OutputStatus* status() const { return status_; }
  protocol::PanelImage* panel() const { return panel_; }
  protocol::ChannelState* channels() const { return channels_; }
  protocol::OutputSettings* settings() const { return settings_; }

  void setMuteMask(std::uint32_t mask);                               // 66
  void setMasterVolume(std::uint16_t volume);                         // 67
  void setTransposition(std::int16_t semitones);                      // 68
  void setOptions(bool pace, bool resetDevices);                      // 69
  void setMeterMode(std::uint16_t mode);                              // 70
  void sendExclusive(int port, std::span<const std::uint8_t> bytes);  // 96, queued
  void sendRaw(int port, std::uint32_t message);                      // 97, queued
  void queuePause(int port);                                          // 98
  void resetPort(int port, int mode);                                 // 99
  void sendFiltered(int port, std::uint32_t message);                 // 100
  void flush();                                                       // 101

 private:
  OutputHandle(EngineBinding& binding, const protocol::OpenOutputCommand& reply);
  void word(std::uint32_t code, std::uint16_t value);
  void shortMessage(std::uint32_t code, int port, std::uint32_t message);

  EngineBinding& binding_;
  std::uint32_t handle_;
  protocol::OutputStatus* status_;
  protocol::PanelImage* panel_;
  protocol::ChannelState* channels_;
  protocol::OutputSettings* settings_;
};

// The file type of a song name by its extension, 0 when it is no song.
std::uint16_t songFileType(std::string_view name);
// The file type by name corrected by the song's bytes: an RCP or G36 header decides its family.
std::uint16_t songFileType(std::uint16_t byName, std::string_view bytes);

class SongHandle;
struct SongOpening {
  std::unique_ptr<SongHandle> song;
  int error = 0;  // an engine error code or the player's 9 and 10
};

struct SongLength {
  int error = 0;
  std::uint32_t totalTime = 0;  // engine units (10 us)
  std::uint16_t measures = 0;
};

struct SongTitles {
  bool ok = false;
  int error = 0;
  std::string title;
  std::string comment;
};

class SongHandle {
 public:
  // Command 32 with the output (none for scanning), then the file into the data buffer.
  static SongOpening open(EngineBinding& binding, const OutputHandle* output, const std::filesystem::path& file);
  ~SongHandle();  // command 33
  SongHandle(const SongHandle&) = delete;
  SongHandle& operator=(const SongHandle&) = delete;

  std::uint32_t handle() const { return handle_; }
  protocol::SequencerStatus* status() const { return status_; }
  protocol::PlayControl* playControl() const { return playControl_; }
  std::uint32_t* measureTable() const { return measureTable_; }

  void seek(std::uint32_t time);          // 34
  void pause();                           // 36
  void play();                            // 37
  void setTimerPeriod(std::uint16_t ms);  // 40
  SongLength scanLength();                // 38
  SongTitles titles();                    // 39

 private:
  SongHandle(EngineBinding& binding, const protocol::OpenSequencerCommand& reply);

  EngineBinding& binding_;
  std::uint32_t handle_;
  protocol::SequencerStatus* status_;
  protocol::PlayControl* playControl_;
  std::uint32_t* measureTable_;
};

}  // namespace volta::core
