#include "player/core/message_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/text.h"

namespace volta::core {

using platform::text::isBlank;
using platform::text::upperAscii;

namespace {

std::optional<std::uint32_t> parseUnsigned(std::string_view text, int base) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    const char u = upperAscii(c);
    int digit;
    if (u >= '0' && u <= '9')
      digit = u - '0';
    else if (base == 16 && u >= 'A' && u <= 'F')
      digit = u - 'A' + 10;
    else
      return std::nullopt;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::optional<std::uint8_t> parseByte(std::string_view token) {
  const bool hex = token.front() == '$';
  if (hex) token.remove_prefix(1);
  if (hex && token.size() > 2) return std::nullopt;
  const auto value = parseUnsigned(token, hex ? 16 : 10);
  if (!value || *value > 0xFF) return std::nullopt;
  return static_cast<std::uint8_t>(*value);
}

class Parser {
 public:
  explicit Parser(const TINICritical& store) : store_(store) {}

  void run(std::string_view text, int depth) {
    std::size_t at = 0;
    while (at < text.size()) {
      while (at < text.size() && isBlank(text[at]))
        ++at;
      const std::size_t end = std::min(text.find_first_of(" \t\r\n", at), text.size());
      if (end > at) token(text.substr(at, end - at), depth);
      at = end;
    }
  }

  std::vector<MessageAction> take() { return std::move(actions_); }

 private:
  void token(std::string_view token, int depth) {
    if (token.size() > 2 && token[1] == ':') return command(upperAscii(token[0]), token.substr(2), depth);
    if (const auto byte = parseByte(token)) addByte(*byte);
  }

  void command(char letter, std::string_view argument, int depth) {
    if (letter == 'M' || letter == 'C') {
      const auto text = namedMessage(argument, depth);
      if (!text) return;
      if (letter == 'M') return run(*text, depth + 1);
      return everyChannel(*text, depth);
    }
    const auto number = parseUnsigned(argument, 10);
    if (!number) return;
    if (letter == 'R')
      add({MessageAction::Kind::kReset, {}, static_cast<int>(std::min<std::uint32_t>(*number, 0xFFFF))});
    if (letter == 'W' && *number > 0) add({MessageAction::Kind::kWait, {}, pausesForWait(*number)});
  }

  std::optional<std::string> namedMessage(std::string_view name, int depth) const {
    if (depth >= kMessageNesting || ++expansions_ > kMaxExpansions) return std::nullopt;
    const auto text = store_.getValue("midimessage", name.substr(0, kMessageNameLength), "\x01");
    if (text == "\x01") return std::nullopt;
    return text;
  }

  // The named message's bytes as one message, sent on each channel in turn.
  void everyChannel(std::string_view text, int depth) {
    std::vector<MessageAction> outer = std::exchange(actions_, {});
    openMessage_ = false;
    run(text, depth + 1);
    const std::vector<MessageAction> inner = std::exchange(actions_, std::move(outer));
    openMessage_ = false;  // bytes after the name start a message of their own
    std::vector<std::uint8_t> bytes;
    for (const auto& action : inner)
      if (action.kind == MessageAction::Kind::kBytes)
        bytes.insert(bytes.end(), action.bytes.begin(), action.bytes.end());
    if (bytes.empty() || !reserve(bytes.size() * 16)) return;
    add({MessageAction::Kind::kEveryChannel, std::move(bytes), 0});
  }

  // Consecutive bytes form one message: a status byte starts a new one, F7 ends one.
  void addByte(std::uint8_t byte) {
    if (!reserve(1)) return;
    const bool startsMessage = byte >= 0x80 && byte != 0xF7;
    if (startsMessage || !openMessage_) add({MessageAction::Kind::kBytes, {}, 0});
    actions_.back().bytes.push_back(byte);
    openMessage_ = byte != 0xF7;
  }

  void add(MessageAction action) {
    openMessage_ = false;
    actions_.push_back(std::move(action));
  }

  bool reserve(std::size_t count) {
    if (bytesUsed_ + count > kMaxMessageBytes) return false;
    bytesUsed_ += count;
    return true;
  }

  const TINICritical& store_;
  std::vector<MessageAction> actions_;
  std::size_t bytesUsed_ = 0;
  // Texts that name the same message many times would otherwise multiply at every level.
  static constexpr int kMaxExpansions = 4096;
  mutable int expansions_ = 0;
  bool openMessage_ = false;
};

}  // namespace

int pausesForWait(std::uint32_t milliseconds) {
  return static_cast<int>(std::min<std::uint32_t>((milliseconds + 9) / 10, kMaxWaitPauses));
}

std::vector<MessageAction> parseMessageText(const TINICritical& store, std::string_view text) {
  auto lock = store.lock();
  Parser parser(store);
  parser.run(text, 0);
  return parser.take();
}

}  // namespace volta::core
