// Message texts and patch map lines of module definition files. The input is a
// definition text, a zero byte, then a message text run against it; every line of
// the text is also read as a patch entry.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "player/core/emulation.h"
#include "player/core/message_text.h"

using namespace volta::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view definitions = input.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? input : input.substr(split + 1);

  TINICritical store;
  store.loadText(definitions, {});
  std::size_t bytes = 0;
  for (const auto& action : parseMessageText(store, text)) {
    bytes += action.bytes.size();
    if (action.kind == MessageAction::Kind::kEveryChannel && action.bytes.empty()) __builtin_trap();
    if (action.kind == MessageAction::Kind::kWait && (action.value < 1 || action.value > kMaxWaitPauses))
      __builtin_trap();
  }
  if (bytes > kMaxMessageBytes) __builtin_trap();

  std::size_t at = 0;
  while (at < definitions.size()) {
    const std::size_t end = std::min(definitions.find('\n', at), definitions.size());
    const std::string_view line = definitions.substr(at, end - at);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) parsePatchEntry(line.substr(0, equals), line.substr(equals + 1));
    at = end + 1;
  }
  return 0;
}
