#pragma once
// Bytes of songs and lists (CP932) as text for the widgets; the string table's file
// filters in Qt's form.

#include <QString>
#include <string>
#include <string_view>

namespace volta::shell {

QString fromCp932(std::string_view bytes);
// "text|*.A;*.B|text2|*.C|" as "text (*.A *.B);;text2 (*.C)".
QString qtFilter(const std::string& filter);

}  // namespace volta::shell
