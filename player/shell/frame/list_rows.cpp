#include "player/shell/frame/list_rows.h"

#include "player/core/playlist/list_files.h"
#include "player/shell/frame/text_codec.h"

namespace volta::shell {

namespace {

// File names are the system's bytes (UTF-8); titles and modules come from songs and lists (CP932).
QString osText(const std::string& name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

FileListRow listRow(const core::MIDIFile& entry, bool spaceCut) {
  FileListRow row;
  row.title = fromCp932(core::titleColumn(entry, spaceCut));
  row.fileName = osText(core::fileColumn(entry));
  row.length = QString::fromStdString(core::lengthColumn(entry));
  row.archive = QString::fromStdString(core::lzhColumn(entry));
  row.module = fromCp932(core::moduleColumn(entry));
  row.hasWrd = entry.wrdState == 2;
  return row;
}

}  // namespace volta::shell
