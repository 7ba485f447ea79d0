#pragma once
// The optional WRD processing log: each line is appended by opening the file, writing and
// closing it again, so the log survives whatever happens to the program afterwards.

#include <cstdarg>
#include <filesystem>
#include <string_view>

namespace volta::wrd {

class DebugLog {
 public:
  // An empty path turns logging off.
  void setPath(const std::filesystem::path& path) { path_ = path; }
  const std::filesystem::path& path() const { return path_; }
  bool enabled() const { return !path_.empty(); }

  void write(std::string_view text) const;
  void printf(const char* format, ...) const __attribute__((format(printf, 2, 3)));

 private:
  std::filesystem::path path_;
};

// Fixed log texts in the script's own encoding (Shift JIS).
namespace log_text {
inline constexpr std::string_view kReset = "\n\nReset--------------------------------------------\n\n";
inline constexpr std::string_view kSeparator = "------------------------------------------------------\n";
// "境界オーバー"
inline constexpr std::string_view kBoundaryOver = "\x8B\xAB\x8A\x45\x83\x49\x81\x5B\x83\x6F\x81\x5B\n";
// "\tMIMPIのバグタイミング追加 (;の無視)"
inline constexpr std::string_view kQuirkIgnoredSemicolon =
    "\tMIMPI\x82\xCC\x83\x6F\x83\x4F\x83\x5E\x83\x43\x83\x7E\x83\x93\x83\x4F\x92\xC7\x89\xC1 "
    "(;\x82\xCC\x96\xB3\x8E\x8B)\n";
// "\tMIMPIのバグタイミング追加"
inline constexpr std::string_view kQuirkTiming =
    "\tMIMPI\x82\xCC\x83\x6F\x83\x4F\x83\x5E\x83\x43\x83\x7E\x83\x93\x83\x4F\x92\xC7\x89\xC1\n";
}  // namespace log_text

}  // namespace volta::wrd
