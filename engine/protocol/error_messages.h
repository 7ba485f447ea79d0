#pragma once
// The player's message for each engine error code (codes 9 and 10 are the player's own).

#include <cstdint>

namespace volta::protocol {

inline const char* errorMessage(int code) {
  static const char* const kMessages[] = {"ERROR:Fail in opening sequencer handle",
                                          "ERROR:Time counter overflow",
                                          "ERROR:Cannot found MThd chank",
                                          "ERROR:Do not support the format type",
                                          "ERROR:Too many tracks",
                                          "ERROR:Chank structure is invalid",
                                          "ERROR:Find the invalid event code",
                                          "ERROR:The value overflow",
                                          "ERROR:Fail to allocate memory",
                                          "ERROR:Fail to open the midi file",
                                          "ERROR:Not midi file clealy",
                                          "ERROR:Playing pointer 超えました",
                                          "Internal Error: Infinity loop",
                                          "Internal Error: Loop nesting error"};
  return code >= 0 && code < 14 ? kMessages[code] : "ERROR";
}

}  // namespace volta::protocol
