// Arbitrary bytes as an SMF Knife .CFG text, up to the first zero byte, and the rest as
// a song to rewrite with the rules read. The reader must take anything and name the line
// of an error; a rewritten song must be a file the rewriter reads back to the same bytes
// when no rule is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "outside/smfk32/cfg_rules.h"
#include "outside/smfk32/smf_rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(bytes.find('\0'), bytes.size());
  const smfk32::RulesResult rules = smfk32::readRules(bytes.substr(0, split));
  if (!rules.rules) {
    if (rules.error.empty()) std::abort();
    return 0;
  }
  const auto song = std::span(data, size).subspan(std::min(split + 1, size));
  const smfk32::Rewritten once = smfk32::rewrite(song, *rules.rules, [](int percent) { return percent < 100; });
  if (once.status != smfk32::RewriteStatus::kDone) return 0;
  const smfk32::Rewritten again = smfk32::rewrite(once.bytes, smfk32::Rules());
  if (again.status != smfk32::RewriteStatus::kDone || again.bytes != once.bytes) std::abort();
  return 0;
}
