// Arbitrary bytes as the outside inputs of the application's state machine: the
// program's arguments (separated by zero bytes) and the stored "NewButtons" row.
// The first byte chooses which.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/core/app/button_row.h"
#include "player/core/app/command_line.h"

namespace {

void commandLine(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  using Kind = volta::app::CommandLine::Kind;
  const auto line = volta::app::parseCommandLine(args, "/home/user");
  if (line.kind == Kind::kFile) {
    // A file to hand over is always absolute and quoted.
    if (line.text.empty() || line.text[0] != '/') std::abort();
    if (line.handOverCommand().rfind("PlayFile \"" + line.text + "\"", 0) != 0) std::abort();
  }
  if (line.kind == Kind::kDdeCommand && line.text != args[1]) std::abort();
}

void buttonRow(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const auto ids = volta::app::decodeButtonRow(bytes);
  if (ids.size() > 32) std::abort();
  for (int id : ids) {
    if (id == 0) std::abort();
  }
  if (volta::app::decodeButtonRow(volta::app::encodeButtonRow(ids)) != ids) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    buttonRow(data + 1, size - 1);
  } else {
    commandLine(data + 1, size - 1);
  }
  return 0;
}
