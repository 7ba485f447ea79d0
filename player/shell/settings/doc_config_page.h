#pragma once
// The "Document" page: the font of the document window and the WRD debug pane, its
// size, and whether a song without a document file shows another suitable file.

#include <QWidget>

#include "player/shell/settings/general_values.h"

class QCheckBox;

namespace volta::shell {

class FontChoice;

class TDocConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TDocConfigDialog(int language, QWidget* parent = nullptr);

  void setValues(const DocValues& values);
  DocValues values() const;
  void read(const platform::settings::SettingsStore& store) { setValues(DocValues::read(store, language_)); }
  bool write(platform::settings::SettingsStore& store) const { return writeValues(store, values()); }

  FontChoice* font() const { return font_; }
  QCheckBox* autoDoc() const { return autoDoc_; }

 private:
  int language_;
  FontChoice* font_;
  QCheckBox* autoDoc_;
};

}  // namespace volta::shell
