#pragma once
// The extraction command line: a command word, switches ("-x", unquoted) and arguments,
// blank-separated; double quotes keep blanks inside an argument.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace volta::unlha {

struct CommandLine {
  std::string command;
  std::vector<std::string> switches;
  std::vector<std::string> arguments;
};

// None when a quote is left open or the line is empty.
std::optional<CommandLine> parseCommandLine(std::string_view line);

}  // namespace volta::unlha
