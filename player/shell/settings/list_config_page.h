#pragma once
// The "List" page: the list window's font and size, and whether blanks in titles are
// collapsed. The File name column's switch is kept but not shown.

#include <QWidget>

#include "player/shell/settings/general_values.h"

class QCheckBox;

namespace volta::shell {

class FontChoice;

class TListConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TListConfigDialog(int language, QWidget* parent = nullptr);

  void setValues(const ListValues& values);
  ListValues values() const;
  void read(const platform::settings::SettingsStore& store) { setValues(ListValues::read(store, language_)); }
  bool write(platform::settings::SettingsStore& store) const { return writeValues(store, values()); }

  FontChoice* font() const { return font_; }
  QCheckBox* fileName() const { return fileName_; }
  QCheckBox* spaceCut() const { return spaceCut_; }

 private:
  int language_;
  FontChoice* font_;
  QCheckBox* fileName_;
  QCheckBox* spaceCut_;
};

}  // namespace volta::shell
