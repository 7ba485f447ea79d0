#pragma once
// The rewriter: a Standard MIDI File (format 0, 1 or 2) read track by track, each
// channel message and exclusive passed through the rules, and the file written again.
// Meta events and chunks other than tracks pass unchanged; a dropped event's delta
// time goes to the event after it.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "outside/smfk32/cfg_rules.h"

namespace smfk32 {

enum class RewriteStatus { kDone, kInvalidFile, kStopped };

struct Rewritten {
  RewriteStatus status = RewriteStatus::kDone;
  std::vector<std::uint8_t> bytes;  // the new file when done
};

// Told 0..99 before each track; false stops the rewrite.
using RewriteProgress = std::function<bool(int percent)>;

Rewritten rewrite(std::span<const std::uint8_t> smf, const Rules& rules, const RewriteProgress& progress = {});

}  // namespace smfk32
