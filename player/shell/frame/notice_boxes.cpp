#include "player/shell/frame/notice_boxes.h"

#include <QMessageBox>

namespace volta::shell {

NoticeBoxes::~NoticeBoxes() {
  for (auto& [caption, notice] : notices_)
    delete notice.box;
}

void NoticeBoxes::show(const QString& caption, const QString& text) {
  Notice& notice = notices_[caption];
  if (!notice.box) {
    notice.box = new QMessageBox(QMessageBox::Information, caption, text, QMessageBox::Ok, parent_);
    notice.box->setAttribute(Qt::WA_DeleteOnClose);
    notice.box->setModal(false);
    notice.count = 0;
  }
  ++notice.count;
  notice.box->setText(notice.count == 1 ? text : QStringLiteral("%1\n\n(%2 times)").arg(text).arg(notice.count));
  notice.box->show();
}

int NoticeBoxes::count(const QString& caption) const {
  const auto found = notices_.find(caption);
  return found != notices_.end() && found->second.box ? found->second.count : 0;
}

}  // namespace volta::shell
