#include "player/wrd/script_buffer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace volta::wrd {

ScriptBuffer makeScriptBuffer(std::string_view content) {
  ScriptBuffer buffer;
  buffer.bytes.assign(content.begin(), content.end());
  buffer.end = buffer.bytes.size();
  buffer.bytes.push_back('\x1A');
  buffer.bytes.push_back('\0');
  if (buffer.bytes.size() < kScriptHeaderSize) buffer.bytes.resize(kScriptHeaderSize, '\0');
  const bool header = std::memcmp(buffer.bytes.data() + kHeaderTagOffset, "TEXT", 4) == 0;
  // A header longer than the script leaves nothing to interpret.
  buffer.start = header ? std::min(kScriptHeaderSize, buffer.end) : 0;
  return buffer;
}

std::optional<std::vector<char>> readScriptBytes(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxScriptFileSize) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::optional<std::vector<char>> readScriptText(const std::filesystem::path& path) {
  auto bytes = readScriptBytes(path);
  if (!bytes) return std::nullopt;
  bytes->erase(std::find(bytes->begin(), bytes->end(), '\x1A'), bytes->end());
  std::vector<char> text;
  text.reserve(bytes->size());
  for (std::size_t i = 0; i < bytes->size(); ++i) {
    const bool crBeforeLf = (*bytes)[i] == '\r' && i + 1 < bytes->size() && (*bytes)[i + 1] == '\n';
    if (!crBeforeLf) text.push_back((*bytes)[i]);
  }
  return text;
}

std::vector<char> withoutCarriageReturns(std::string_view text) {
  std::vector<char> out;
  out.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != '\r'; });
  return out;
}

}  // namespace volta::wrd
