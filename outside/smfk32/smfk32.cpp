// The library's two entry points over the rules reader and the rewriter.
#include "outside/smfk32/smfk32.h"

#include <cstdint>
#include <fstream>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "outside/smfk32/cfg_rules.h"
#include "outside/smfk32/smf_rewrite.h"

namespace {

constexpr std::int32_t kSuccess = -1, kBadConfiguration = 1, kBadSource = 2, kBadOutput = 3, kInvalidFile = 4,
                       kOutOfMemory = 5, kStopped = 7;
constexpr std::int32_t kVersion = 100;  // 1.00
// No song file comes near this; a larger "song" is refused before it is read whole.
constexpr std::uintmax_t kMaxSourceSize = 64u << 20;

std::optional<std::string> readSmall(const char* path, std::uintmax_t limit) {
  if (path == nullptr) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > limit) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool writeAll(const char* path, const std::vector<std::uint8_t>& bytes) {
  if (path == nullptr) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::int32_t convert(const char* source, const char* output, const char* configuration,
                     const SmfkParameters* parameters, SmfkProgress progress) {
  const auto text = readSmall(configuration, smfk32::kMaxConfigurationSize);
  if (!text) return kBadConfiguration;
  const smfk32::RulesResult rules = smfk32::readRules(*text);
  if (!rules.rules) return kBadConfiguration;
  const auto song = readSmall(source, kMaxSourceSize);
  if (!song) return kBadSource;
  void* worker =
      parameters != nullptr ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(parameters->worker)) : nullptr;
  const smfk32::RewriteProgress told = [progress, worker](int percent) {
    return progress == nullptr || progress(percent, worker) != 0;
  };
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(song->data()), song->size());
  const smfk32::Rewritten result = smfk32::rewrite(bytes, *rules.rules, told);
  if (result.status == smfk32::RewriteStatus::kStopped) return kStopped;
  if (result.status == smfk32::RewriteStatus::kInvalidFile) return kInvalidFile;
  return writeAll(output, result.bytes) ? kSuccess : kBadOutput;
}

}  // namespace

extern "C" {

SMFK_EXPORT int32_t SmfkConvert(const void* /*owner*/, const char* source, const char* output,
                                const char* configuration, int32_t /*reserved*/, void* parameters,
                                SmfkProgress progress) {
  try {
    return convert(source, output, configuration, static_cast<const SmfkParameters*>(parameters), progress);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (...) {
    return kInvalidFile;
  }
}

SMFK_EXPORT int32_t GetSmfkVersion(void) {
  return kVersion;
}

}  // extern "C"
