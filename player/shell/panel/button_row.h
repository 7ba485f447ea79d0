#pragma once
// The button bar's row and state are the controller's; the window's parts name them
// in their own namespace.

#include "player/core/app/button_row.h"

namespace volta::shell {

using app::buttonActive;
using app::buttonEnabled;
using app::ButtonState;
using app::decodeButtonRow;
using app::defaultButtonRow;
using app::encodeButtonRow;
using app::kButtonRowBytes;
using app::kMaxButtons;
using app::readButtonRow;

}  // namespace volta::shell
