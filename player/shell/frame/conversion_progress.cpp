#include "player/shell/frame/conversion_progress.h"

#include <cstdio>
#include <string_view>

#include "player/core/smfk/song_conversion.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace {

// The converter's record: track index, number of tracks, percent, user value.
constexpr std::size_t kRecordPercent = 2;

std::string formatted(int id, int language, int percent) {
  const std::string format(text(id, language));
  char line[64];
  std::snprintf(line, sizeof line, format.c_str(), percent);
  return line;
}

}  // namespace

std::string conversionProgressText(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, int language) {
  namespace smfk = core::smfk;
  if (message == smfk::kRcpProgressMessage && lParam != 0) {
    const auto* record = reinterpret_cast<const std::int32_t*>(lParam);
    return formatted(text_id::kRcpConverting, language, record[kRecordPercent]);
  }
  if (message == smfk::kMessage && wParam == smfk::kProgress)
    return formatted(text_id::kSmfkConverting, language, static_cast<int>(lParam));
  return {};
}

ConversionProgress::ConversionProgress(FramePanes& panes) : panes_(panes), target_{receive, this} {}

void ConversionProgress::receive(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  auto* self = static_cast<ConversionProgress*>(context);
  const std::string line = conversionProgressText(message, wParam, lParam, self->panes_.language());
  if (!line.empty()) self->panes_.showConversionProgress(line);
}

}  // namespace volta::shell
