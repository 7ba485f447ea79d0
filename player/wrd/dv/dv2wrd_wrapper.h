#pragma once
// Binding to the optional outside DV-to-WRD converter, libdv2wrd32.so. The library is loaded
// once by name; each entry point is looked up at every call, and a missing library or entry
// point makes the call do nothing (and answer -1 where a number is expected).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace volta::wrd::dv {

inline constexpr char kLibraryName[] = "libdv2wrd32.so";
// The converter writes at most this many bytes of WRD text.
inline constexpr std::size_t kOutputBufferSize = 256000;

struct DV2WRDVersion {
  int major = 0;
  int minor = 0;
  std::string description;
};

class DV2WRDWrapper {
 public:
  DV2WRDWrapper() = default;
  ~DV2WRDWrapper();
  DV2WRDWrapper(const DV2WRDWrapper&) = delete;
  DV2WRDWrapper& operator=(const DV2WRDWrapper&) = delete;

  // Looks in the program's folder first, then on the system's library path, and calls the
  // dialog entry with 0 once loaded. False when the library is nowhere.
  bool load(const std::filesystem::path& programFolder);
  // The library at exactly this path.
  bool loadFile(const std::filesystem::path& file);
  void unload();
  bool available() const { return handle_ != nullptr; }

  // "convertDVtoWRD": the length written to `output`, negative on failure, -1 when missing.
  int convertDVtoWRD(std::span<std::uint8_t> output, std::span<const std::uint8_t> input) const;
  // "DV2WRD_GetVersion"; nothing when missing.
  std::optional<DV2WRDVersion> version() const;
  // "DV2WRD_ShowDialog".
  void showDialog(int value) const;
  // "DV2WRD_GetBuffer", bound for completeness; -1 when missing.
  int getBuffer(int first, int second) const;

 private:
  template <typename Function>
  Function* entry(const char* name) const;
  bool adopt(void* handle);

  void* handle_ = nullptr;
};

// The about box's line for the converter, empty when it is not there.
std::string aboutLine(const DV2WRDWrapper& converter);

// The WRD text of a DV script: the converter's output without carriage returns. Nothing when
// the converter is missing or fails.
std::optional<std::string> convertDvScript(const DV2WRDWrapper& converter, std::span<const std::uint8_t> input);

}  // namespace volta::wrd::dv
