#include "player/shell/settings/list_config_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "player/shell/panel/string_table.h"
#include "player/shell/settings/page_widgets.h"

namespace volta::shell {

TListConfigDialog::TListConfigDialog(int language, QWidget* parent)
    : QWidget(parent), language_(language), font_(new FontChoice(language, this)) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageList, language)));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(font_);
  spaceCut_ = addCheck(layout, pick(language, "タイトルの空白を詰める", "Collapse blanks in titles"));
  fileName_ = addCheck(layout, pick(language, "ファイル名を表示", "File name column"));
  fileName_->hide();
  layout->addStretch(1);
  setValues(ListValues{std::string(text(text_id::kListFont, language))});
}

void TListConfigDialog::setValues(const ListValues& values) {
  font_->set(values.font, values.fontSize);
  fileName_->setChecked(values.fileName);
  spaceCut_->setChecked(values.spaceCut);
}

ListValues TListConfigDialog::values() const {
  return {font_->face(), font_->size(), fileName_->isChecked(), spaceCut_->isChecked()};
}

}  // namespace volta::shell
