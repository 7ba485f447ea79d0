#pragma once
// MIDI message texts of the module definitions ("midimessage" values and the
// "MIDI", "MIDI_A", "MIDI_B", "MIDI_C" keys of command sections): blank-separated
// tokens "$hh" and decimal bytes, "M:name" (a named message), "C:name" (a named
// message once on each of the 16 channels), "R:n" (reset the ports in mode n) and
// "W:n" (wait n ms in 10 ms pauses). Other tokens are skipped.

#include <cstdint>
#include <string_view>
#include <vector>

#include "player/core/module_definitions.h"

namespace volta::core {

struct MessageAction {
  enum class Kind { kBytes, kEveryChannel, kReset, kWait };
  Kind kind = Kind::kBytes;
  // kBytes: one message (a run of byte tokens up to the next status byte or F7);
  // kEveryChannel: the named message's bytes, its first byte's channel replaced.
  std::vector<std::uint8_t> bytes;
  int value = 0;  // kReset: the mode; kWait: the number of 10 ms pauses
};

// Longest name after "M:" and "C:".
inline constexpr std::size_t kMessageNameLength = 31;
// Named messages that name others nest at most this deep; a deeper (or circular) one adds nothing.
inline constexpr int kMessageNesting = 8;
// Waits are cut at ten seconds, the bytes of one text at 64 KiB.
inline constexpr int kMaxWaitPauses = 1000;
inline constexpr std::size_t kMaxMessageBytes = 65536;

// The actions of a text; names are looked up in the store's "midimessage" section.
std::vector<MessageAction> parseMessageText(const TINICritical& store, std::string_view text);

// The pauses "W:n" queues: one per started 10 ms.
int pausesForWait(std::uint32_t milliseconds);

}  // namespace volta::core
