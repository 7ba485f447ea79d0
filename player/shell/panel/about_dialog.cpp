#include "player/shell/panel/about_dialog.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

#include "player/shell/panel/string_table.h"

namespace volta::shell {

TAboutDialog::TAboutDialog(const AboutInfo& info, int language, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(text(text_id::kAboutCaption, language)));
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(QString::fromUtf8(text(text_id::kProgramName, language)), this);
  QFont large = name->font();
  large.setPointSize(large.pointSize() + 6);
  large.setBold(true);
  name->setFont(large);
  layout->addWidget(name);
  for (const std::string& line : aboutLines(info, language)) {
    lines_ << QString::fromStdString(line);
    layout->addWidget(new QLabel(lines_.back(), this));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace volta::shell
