#pragma once
// Remote control of a running player: the command language of execute transactions,
// the request items and their replies, and the lock that lets one conversation take
// over playback. Transport-free: the socket server hands every transaction in here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace volta::core {
struct MIDIFile;
}

namespace volta::dde {

using core::MIDIFile;

// One connection of a client; the server numbers them from 1.
using Conversation = std::uint64_t;

// What the commands act on; the application's controller implements it.
class DdeHost {
 public:
  virtual ~DdeHost() = default;
  virtual std::optional<Conversation> lockHolder() const = 0;
  virtual void setLockHolder(std::optional<Conversation> holder) = 0;
  // Closes the list (no default save) and opens the name with the module; false when
  // the user cancelled the close.
  virtual bool openFile(const std::string& name, const std::string& module) = 0;
  virtual void play() = 0;
  // Stop, make n the current position, show it, Play; n is already checked to be in range.
  virtual void playPosition(std::uint32_t n) = 0;
  virtual void stop() = 0;
  // Pauses a playing song (resumes a paused one); both end a running song selection.
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual void togglePane(int pane) = 0;
  virtual void mini() = 0;
  // Restores and activates the main window, then enters full screen unless it is on.
  virtual void fullScreenFromRemote() = 0;
  virtual std::size_t count() const = 0;
  // The entry at a play-order position below count().
  virtual const MIDIFile* entryAt(std::size_t position) const = 0;
  virtual std::string baseFolder() const = 0;
  virtual std::string listFileName() const = 0;
  virtual bool playing() const = 0;
  virtual bool paused() const = 0;
  virtual int position() const = 0;
};

// Commands and items are read from a buffer of this size, its last byte the terminator.
inline constexpr std::size_t kTextBufferSize = 1024;

// An execute text split into its parts.
struct ParsedCommand {
  std::string word;
  std::string argument;
  std::string rest;
};
// None when the text does not fit the buffer.
std::optional<ParsedCommand> parseCommand(std::string_view text);

// A request item split into its word and argument.
struct ParsedItem {
  std::string word;
  std::string argument;
};
std::optional<ParsedItem> parseItem(std::string_view item);

// A decimal number as the commands read it: optional sign, digits, anything after them
// ignored, no digits read as 0; none when it does not fit 64 bits.
std::optional<std::int64_t> readDecimal(std::string_view text);

// Runs one execute transaction; true = acknowledged, false = not processed.
bool execute(DdeHost& host, Conversation conversation, std::string_view text);
// Answers one request transaction; none = no data.
std::optional<std::string> request(DdeHost& host, Conversation conversation, std::string_view item);
// The conversation ended: a lock it held is released.
void disconnected(DdeHost& host, Conversation conversation);

}  // namespace volta::dde
