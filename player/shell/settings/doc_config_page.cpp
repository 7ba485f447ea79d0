#include "player/shell/settings/doc_config_page.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "player/shell/panel/string_table.h"
#include "player/shell/settings/page_widgets.h"

namespace volta::shell {

TDocConfigDialog::TDocConfigDialog(int language, QWidget* parent)
    : QWidget(parent), language_(language), font_(new FontChoice(language, this)) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageDocument, language)));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(font_);
  autoDoc_ = addCheck(layout, pick(language, "ドキュメントがないときは他のファイルを表示",
                                   "Without a document, show another suitable file"));
  layout->addStretch(1);
  setValues(DocValues{std::string(text(text_id::kDocumentFont, language))});
}

void TDocConfigDialog::setValues(const DocValues& values) {
  font_->set(values.font, values.fontSize);
  autoDoc_->setChecked(values.autoDoc);
}

DocValues TDocConfigDialog::values() const {
  return {font_->face(), font_->size(), autoDoc_->isChecked()};
}

}  // namespace volta::shell
