#pragma once
// Binding to the outside SMF Knife converter, libsmfk32.so, which rewrites a Standard
// MIDI File by the rules of a configuration file (".CFG"). One handle for the whole
// program, loaded once by name (the program's folder first, then the system's library
// path) and released at exit. A missing library or "SmfkConvert" makes a conversion
// answer 2 without calling anything; a missing "GetSmfkVersion" gives version 0.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_target.h"

namespace volta::core::smfk {

inline constexpr char kLibraryName[] = "libsmfk32.so";

// The owner's messages: WM_USER with these in wParam.
inline constexpr std::uint32_t kMessage = 1024;
inline constexpr std::uintptr_t kStarted = 1, kEnded = 2, kAborted = 3, kProgress = 4;

// Results of "SmfkConvert": negative is success.
inline constexpr std::int32_t kCannotReadMidiFile = 2;

// The record handed to the converter, byte for byte: its size, zeros, and the 32-bit
// address the converter gives back to the progress callback.
#pragma pack(push, 1)
struct Parameters {
  std::uint32_t size = 24;
  std::uint32_t reserved[4] = {};
  std::uint32_t worker = 0;
};
#pragma pack(pop)
static_assert(sizeof(Parameters) == 24);
static_assert(offsetof(Parameters, worker) == 20);

// Takes (percent, the record's worker address); non-zero goes on, 0 stops.
using ProgressCallback = std::int32_t (*)(std::int32_t percent, void* worker);
using ConvertFunction = std::int32_t(const void* owner, const char* source, const char* output,
                                     const char* configuration, std::int32_t reserved, void* parameters,
                                     ProgressCallback progress);
using VersionFunction = std::int32_t();

struct Version {
  int major = 0;
  int minor = 0;
};

class SmfkLibrary {
 public:
  SmfkLibrary() = default;
  // Unloads (waiting for conversions still running).
  ~SmfkLibrary();
  SmfkLibrary(const SmfkLibrary&) = delete;
  SmfkLibrary& operator=(const SmfkLibrary&) = delete;

  // False when the library is nowhere.
  bool load(const std::filesystem::path& programFolder);
  // The library at exactly this path.
  bool loadFile(const std::filesystem::path& file);
  // Waits for running conversions and for the threads handed over, then releases the library.
  void unload();
  bool available() const { return handle_ != nullptr; }

  // "SmfkConvert"; 2 when the library or the entry point is missing.
  std::int32_t convert(const platform::MessageTarget* owner, const std::filesystem::path& source,
                       const std::filesystem::path& output, const std::filesystem::path& configuration,
                       Parameters* parameters, ProgressCallback progress) const;
  // "GetSmfkVersion"; 0 when missing.
  std::int32_t versionNumber() const;
  // The version as the about box shows it; none without the library.
  std::optional<Version> version() const;

  // A conversion thread whose owner went away before it ended: joined before the library goes.
  void adoptThread(std::thread thread);

 private:
  void joinAdopted();

  void* handle_ = nullptr;
  mutable std::mutex mutex_;
  mutable std::condition_variable idle_;
  mutable int running_ = 0;
  std::vector<std::thread> adopted_;
};

// The dialog's message for a result: "Unknown error" for 0 and for 8 and above, none for success.
std::optional<std::string> resultMessage(std::int32_t result);

}  // namespace volta::core::smfk
