#include "player/wrd/sherry/sherry_errors.h"

#include <cstdio>
#include <string>

namespace volta::wrd::sherry {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  const int length = std::snprintf(nullptr, 0, pattern, args...);
  std::string text(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, args...);
  return text;
}

}  // namespace

SErrorInternal::SErrorInternal(std::string_view text) : SError(format("Internal: %s", std::string(text).c_str())) {}

SErrorPalette::SErrorPalette(std::uint32_t offset, std::string_view text, int id)
    : SError(format("%08X: %s #%d.", offset, std::string(text).c_str(), id)) {}

SErrorScreen::SErrorScreen(std::uint32_t offset, std::string_view text, int id)
    : SError(format("%08X: %s #%d.", offset, std::string(text).c_str(), id)) {}

SErrorInput::SErrorInput(std::uint32_t offset, std::string_view text)
    : SError(format("%08X: %s", offset, std::string(text).c_str())) {}

SErrorTextInput::SErrorTextInput(std::uint32_t offset, std::string_view text)
    : SError(format("%08X: %s", offset, std::string(text).c_str())) {}

SErrorPoint::SErrorPoint(std::uint32_t offset, int x, int y)
    : SError(format("%08X: Invalid point (%d,%d) %s", offset, x, y, format("Invalid Point(%d,%d)", x, y).c_str())) {}

SErrorRect::SErrorRect(std::uint32_t offset, int x1, int y1, int x2, int y2)
    : SError(format("%08X: Invalid rectangle (%d,%d)-(%d,%d) %s", offset, x1, y1, x2, y2,
                    format("Invalid Rectangle(%d,%d)-(%d,%d)", x1, y1, x2, y2).c_str())) {}

}  // namespace volta::wrd::sherry
