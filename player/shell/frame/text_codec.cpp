#include "player/shell/frame/text_codec.h"

#include <QStringList>

#include "platform/text.h"

namespace volta::shell {

QString fromCp932(std::string_view bytes) {
  static platform::text::Cp932Decoder decoder;  // used on the interface thread only
  const std::u32string text = decoder.decode(bytes);
  return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
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
