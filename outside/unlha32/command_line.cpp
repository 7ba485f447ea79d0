#include "outside/unlha32/command_line.h"

namespace volta::unlha {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct Token {
  std::string text;
  bool quoted = false;
};

// The token starting at `at` (blanks skipped before it); `at` moves past it.
std::optional<Token> nextToken(std::string_view line, std::size_t& at) {
  Token token;
  bool inQuotes = false;
  for (; at < line.size() && (inQuotes || !isBlank(line[at])); ++at) {
    if (line[at] == '"') {
      inQuotes = !inQuotes;
      token.quoted = true;
    } else {
      token.text += line[at];
    }
  }
  if (inQuotes) return std::nullopt;
  return token;
}

}  // namespace

std::optional<CommandLine> parseCommandLine(std::string_view line) {
  CommandLine result;
  bool first = true;
  for (std::size_t at = 0; at < line.size();) {
    if (isBlank(line[at])) {
      ++at;
      continue;
    }
    auto token = nextToken(line, at);
    if (!token) return std::nullopt;
    if (first)
      result.command = std::move(token->text);
    else if (!token->quoted && token->text.size() > 1 && token->text.front() == '-')
      result.switches.push_back(std::move(token->text));
    else
      result.arguments.push_back(std::move(token->text));
    first = false;
  }
  if (first) return std::nullopt;
  return result;
}

}  // namespace volta::unlha
