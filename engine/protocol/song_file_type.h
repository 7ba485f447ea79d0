#pragma once
// The engine's file type for a song format, shared by whatever opens songs on the engine.

#include <cstdint>

#include "engine/protocol/records.h"
#include "platform/file_types.h"

namespace volta::protocol {

// 0 for the formats no sequencer plays.
constexpr std::uint16_t fileTypeOf(platform::SongFormat format) {
  switch (format) {
    case platform::SongFormat::kSmf:
      return kFileSMF;
    case platform::SongFormat::kRcp:
      return kFileRCP;
    case platform::SongFormat::kG36:
      return kFileG36;
    default:
      return 0;
  }
}

}  // namespace volta::protocol
