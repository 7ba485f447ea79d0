#include "player/core/app/command_line.h"

#include <string_view>

#include "platform/text.h"

namespace volta::app {

using platform::text::endsWithIgnoringCase;
using platform::text::equalsIgnoringCase;

namespace {

std::string absoluteName(const std::string& name, const std::filesystem::path& currentFolder) {
  const std::filesystem::path path(name);
  if (path.is_absolute()) return name;
  return (currentFolder / path).lexically_normal().string();
}

}  // namespace

std::string CommandLine::handOverCommand() const {
  std::string command = "PlayFile \"" + text + "\"";
  if (hasModule) command += module;
  return command;
}

bool CommandLine::isListFile() const {
  return endsWithIgnoringCase(text, ".TOR") || endsWithIgnoringCase(text, ".TO2");
}

CommandLine parseCommandLine(const std::vector<std::string>& args, const std::filesystem::path& currentFolder) {
  CommandLine line;
  if (args.empty()) return line;
  // Options are answered here and never reach a running player as file names.
  if (args[0] == "--help" || args[0] == "-h") {
    line.kind = CommandLine::Kind::kHelp;
    return line;
  }
  if (args[0] == "--version") {
    line.kind = CommandLine::Kind::kVersion;
    return line;
  }
  if (args[0].size() > 1 && args[0][0] == '-') {
    line.kind = CommandLine::Kind::kMisuse;
    line.text = args[0];
    return line;
  }
  if (equalsIgnoringCase(args[0], "/n")) {
    line.kind = CommandLine::Kind::kEmptyList;
    return line;
  }
  if (args.size() == 2 && equalsIgnoringCase(args[0], "dde")) {
    line.kind = CommandLine::Kind::kDdeCommand;
    line.text = args[1];
    return line;
  }
  if ((args.size() == 2 || args.size() == 3) && equalsIgnoringCase(args[0], "dde-request")) {
    line.kind = CommandLine::Kind::kDdeRequest;
    line.text = args[1];
    if (args.size() == 3) line.text += " " + args[2];
    return line;
  }
  // An empty name names nothing to open: start as without arguments.
  if (args[0].empty()) return line;
  line.kind = CommandLine::Kind::kFile;
  line.text = absoluteName(args[0], currentFolder);
  if (args.size() >= 2 && args[1].size() >= 3 && equalsIgnoringCase(std::string_view(args[1]).substr(0, 3), "/M:")) {
    line.hasModule = true;
    line.module = args[1].substr(3);
  }
  return line;
}

}  // namespace volta::app
