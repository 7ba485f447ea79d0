#pragma once
// The main window's part in converting a song while it opens: the converter library's
// and SMF Knife's progress messages become "RCP converting %2d%%" and
// "SMFK converting %2d%%" in the first line of the status panel, painted at once, as the
// conversion holds the user-interface thread until it is done.

#include <cstdint>
#include <string>

#include "platform/message_target.h"

namespace volta::shell {

class FramePanes;

// The line for a message to the main window; empty when it is no conversion progress.
std::string conversionProgressText(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, int language);

class ConversionProgress {
 public:
  explicit ConversionProgress(FramePanes& panes);
  ConversionProgress(const ConversionProgress&) = delete;
  ConversionProgress& operator=(const ConversionProgress&) = delete;

  // The owner handed to the song players.
  const platform::MessageTarget* target() const { return &target_; }

 private:
  static void receive(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  FramePanes& panes_;
  platform::MessageTarget target_;
};

}  // namespace volta::shell
