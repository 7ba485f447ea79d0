#include "player/shell/frame/text_codec.h"

#include <QStringList>

#include "player/wrd/shift_jis.h"

namespace volta::shell {

QString fromCp932(std::string_view bytes) {
  static wrd::Cp932Decoder decoder;  // used on the interface thread only
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::uint16_t code = lead;
    if (wrd::isShiftJisLead(lead) && i + 1 < bytes.size())
      code = static_cast<std::uint16_t>(lead << 8 | static_cast<std::uint8_t>(bytes[++i]));
    const char32_t unicode = decoder.toUnicode(code);
    const char32_t shown = unicode ? unicode : U'\uFFFD';
    text += QString::fromUcs4(&shown, 1);
  }
  return text;
}

QString qtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty() && parts[i + 1].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace volta::shell
