#include "player/core/dde/dde_commands.h"

#include <array>
#include <cctype>
#include <limits>

#include "platform/text.h"
#include "player/core/midi_file.h"

namespace volta::dde {

using platform::text::equalsIgnoringCase;

namespace {

bool isBlank(char c) {
  return c == ' ';
}
bool isSeparator(char c) {
  return c == ' ' || c == ',';
}

// What the fixed buffer holds: the text up to its first zero byte. A text that would not
// fit is refused whole, because a cut file name would name a different file.
std::optional<std::string_view> bufferText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() >= kTextBufferSize) return std::nullopt;
  return text;
}

std::string_view skipWhile(std::string_view text, bool (*skip)(char)) {
  std::size_t at = 0;
  while (at < text.size() && skip(text[at]))
    ++at;
  return text.substr(at);
}

// The word up to the first blank or comma; the remainder starts after the blanks and
// commas that follow it.
std::pair<std::string_view, std::string_view> splitWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && !isSeparator(text[end]))
    ++end;
  return {text.substr(0, end), skipWhile(text.substr(end), isSeparator)};
}

// A quoted argument runs to the closing quote (or the end), which is dropped; a plain
// one runs to the next blank.
std::pair<std::string_view, std::string_view> splitArgument(std::string_view text) {
  if (!text.empty() && text.front() == '"') {
    const std::size_t close = text.find('"', 1);
    if (close == std::string_view::npos) return {text.substr(1), {}};
    return {text.substr(1, close - 1), text.substr(close + 1)};
  }
  std::size_t end = 0;
  while (end < text.size() && !isBlank(text[end]))
    ++end;
  return {text.substr(0, end), text.substr(end)};
}

bool isOwnLock(const DdeHost& host, Conversation conversation) {
  const auto holder = host.lockHolder();
  return holder && *holder == conversation;
}

bool openFile(DdeHost& host, const ParsedCommand& command) {
  return host.openFile(command.argument, command.rest);
}

// The play-order position the argument names, when the list has it.
std::optional<std::size_t> positionOf(const DdeHost& host, const std::string& argument) {
  const auto n = readDecimal(argument);
  if (!n || *n < 0 || static_cast<std::uint64_t>(*n) >= host.count()) return std::nullopt;
  return static_cast<std::size_t>(*n);
}

void playPosition(DdeHost& host, const std::string& argument) {
  if (const auto n = positionOf(host, argument)) host.playPosition(static_cast<std::uint32_t>(*n));
}

// The commands other than the lock's; every one is acknowledged, also when it finds
// nothing to do.
struct Command {
  std::string_view word;
  void (*run)(DdeHost&, const ParsedCommand&);
};

const std::array<Command, 12> kCommands{{
    {"OpenFile", [](DdeHost& host, const ParsedCommand& command) { openFile(host, command); }},
    {"PlayFile",
     [](DdeHost& host, const ParsedCommand& command) {
       if (openFile(host, command)) host.play();
     }},
    {"Play", [](DdeHost& host, const ParsedCommand& command) { playPosition(host, command.argument); }},
    {"Stop", [](DdeHost& host, const ParsedCommand&) { host.stop(); }},
    {"Pause", [](DdeHost& host, const ParsedCommand&) { host.pause(); }},
    {"Resume", [](DdeHost& host, const ParsedCommand&) { host.resume(); }},
    {"ChangeWRD", [](DdeHost& host, const ParsedCommand&) { host.togglePane(0); }},
    {"ChangeDOC", [](DdeHost& host, const ParsedCommand&) { host.togglePane(1); }},
    {"ChangeLIST", [](DdeHost& host, const ParsedCommand&) { host.togglePane(2); }},
    {"ChangeSTATUS", [](DdeHost& host, const ParsedCommand&) { host.togglePane(3); }},
    {"ChangeMINI", [](DdeHost& host, const ParsedCommand&) { host.mini(); }},
    {"ChangeFULLSCREEN", [](DdeHost& host, const ParsedCommand&) { host.fullScreenFromRemote(); }},
}};

// "Lock" is refused while anyone holds the lock, the asker included.
bool takeLock(DdeHost& host, Conversation conversation) {
  if (host.lockHolder()) return false;
  host.setLockHolder(conversation);
  return true;
}

bool releaseLock(DdeHost& host, Conversation conversation) {
  if (!isOwnLock(host, conversation)) return false;
  host.setLockHolder(std::nullopt);
  return true;
}

// The entry at the position the argument names, when there is one.
const MIDIFile* entryOf(const DdeHost& host, const std::string& argument) {
  const auto n = positionOf(host, argument);
  return n ? host.entryAt(*n) : nullptr;
}

using Reply = std::optional<std::string>;

struct Item {
  std::string_view word;
  Reply (*answer)(const DdeHost&, const std::string& argument);
};

const std::array<Item, 9> kItems{{
    {"GetCount", [](const DdeHost& host, const std::string&) -> Reply { return std::to_string(host.count()); }},
    {"GetTitle",
     [](const DdeHost& host, const std::string& argument) -> Reply {
       const MIDIFile* entry = entryOf(host, argument);
       return entry ? Reply(entry->title) : std::nullopt;
     }},
    {"GetLength",
     [](const DdeHost& host, const std::string& argument) -> Reply {
       const MIDIFile* entry = entryOf(host, argument);
       return entry ? Reply(std::to_string(entry->lengthMs)) : std::nullopt;
     }},
    {"GetFileName",
     [](const DdeHost& host, const std::string& argument) -> Reply {
       const MIDIFile* entry = entryOf(host, argument);
       return entry ? Reply(entry->fileName) : std::nullopt;
     }},
    {"GetBaseFolder", [](const DdeHost& host, const std::string&) -> Reply { return host.baseFolder(); }},
    {"GetListFileName", [](const DdeHost& host, const std::string&) -> Reply { return host.listFileName(); }},
    {"GetStatus",
     [](const DdeHost& host, const std::string&) -> Reply {
       if (!host.playing()) return "stop";
       return host.paused() ? "pause" : "play";
     }},
    {"GetPlayFile",
     [](const DdeHost& host, const std::string&) -> Reply {
       return host.playing() ? Reply(std::to_string(host.position())) : std::nullopt;
     }},
    {"GetTime", [](const DdeHost&, const std::string&) -> Reply { return std::nullopt; }},
}};

}  // namespace

std::optional<ParsedCommand> parseCommand(std::string_view text) {
  const auto held = bufferText(text);
  if (!held) return std::nullopt;
  const auto [word, afterWord] = splitWord(*held);
  const auto [argument, afterArgument] = splitArgument(afterWord);
  return ParsedCommand{std::string(word), std::string(argument), std::string(skipWhile(afterArgument, isBlank))};
}

std::optional<ParsedItem> parseItem(std::string_view item) {
  const auto held = bufferText(item);
  if (!held) return std::nullopt;
  const auto [word, argument] = splitWord(*held);
  return ParsedItem{std::string(word), std::string(argument)};
}

std::optional<std::int64_t> readDecimal(std::string_view text) {
  text = skipWhile(text, [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  std::uint64_t value = 0;
  constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLimit) return std::nullopt;
  }
  const auto magnitude = static_cast<std::int64_t>(value);
  return negative ? -magnitude : magnitude;
}

bool execute(DdeHost& host, Conversation conversation, std::string_view text) {
  const auto command = parseCommand(text);
  if (!command) return false;
  if (host.lockHolder() && !isOwnLock(host, conversation)) return false;
  if (equalsIgnoringCase("Lock", command->word)) return takeLock(host, conversation);
  if (equalsIgnoringCase("Unlock", command->word)) return releaseLock(host, conversation);
  for (const Command& known : kCommands) {
    if (!equalsIgnoringCase(known.word, command->word)) continue;
    known.run(host, *command);
    return true;
  }
  return false;
}

std::optional<std::string> request(DdeHost& host, Conversation, std::string_view item) {
  const auto parsed = parseItem(item);
  if (!parsed) return std::nullopt;
  for (const Item& known : kItems) {
    if (equalsIgnoringCase(known.word, parsed->word)) return known.answer(host, parsed->argument);
  }
  return std::nullopt;
}

void disconnected(DdeHost& host, Conversation conversation) {
  if (isOwnLock(host, conversation)) host.setLockHolder(std::nullopt);
}

}  // namespace volta::dde
