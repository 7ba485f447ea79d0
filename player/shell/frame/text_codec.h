#pragma once
// Bytes of songs and lists (CP932) as text for the widgets.

#include <QString>
#include <string_view>

namespace volta::shell {

QString fromCp932(std::string_view bytes);

}  // namespace volta::shell
