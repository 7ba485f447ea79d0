#include "player/wrd/debug_log.h"

#include <cstdio>
#include <string>

namespace volta::wrd {

void DebugLog::write(std::string_view text) const {
  if (!enabled()) return;
  std::FILE* file = std::fopen(path_.c_str(), "ab");
  if (file == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

void DebugLog::printf(const char* format, ...) const {
  if (!enabled()) return;
  std::va_list args;
  va_start(args, format);
  std::va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size > 0) {
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(size));
    write(text);
  }
  va_end(args);
}

}  // namespace volta::wrd
