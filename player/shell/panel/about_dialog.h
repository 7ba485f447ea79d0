#pragma once
// The about box: the program's name and version and a line for each library in use.

#include <QDialog>
#include <QStringList>

#include "player/shell/panel/about_text.h"
#include "player/shell/panel/language.h"

namespace volta::shell {

class TAboutDialog : public QDialog {
  Q_OBJECT

 public:
  TAboutDialog(const AboutInfo& info, int language, QWidget* parent = nullptr);
  // The lines shown under the program's name.
  const QStringList& lines() const { return lines_; }

 private:
  QStringList lines_;
};

}  // namespace volta::shell
