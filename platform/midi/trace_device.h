#pragma once
// The trace device: a diagnostic log of every message sent to it, one line each:
//   <microseconds since the output opened> <port letter A|B|C> <bytes in upper-case hex>
// An exclusive is one line (F0 ... F7); a device reset writes "<us> <port> RESET".
// The file is named by VOLTA_MIDI_TRACE and is truncated when the first port opens
// on it; ports opened while another one is open share the file and its time origin.

#include <memory>
#include <string>

#include "platform/midi/output_device.h"

namespace volta::platform::midi {

inline constexpr const char* kTraceEnvironmentVariable = "VOLTA_MIDI_TRACE";

// Opens a trace port writing to path (the port letter is 'A' + port).
std::unique_ptr<OutputDevice> openTraceDevice(const std::string& path, int port);

// Lists "Trace" when VOLTA_MIDI_TRACE is set.
std::shared_ptr<OutputBackend> traceBackend();

// A port that accepts and discards everything.
std::unique_ptr<OutputDevice> openNullDevice();

}  // namespace volta::platform::midi
