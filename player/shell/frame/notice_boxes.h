#pragma once
// Messages shown without a nested event loop: a box that stays open while the program
// goes on (remote commands keep being answered). One box per caption; a message that
// comes while its caption's box is open replaces the text and counts the repeats, so a
// flood of failures makes one box, not thousands.

#include <QPointer>
#include <QString>
#include <map>

class QMessageBox;
class QWidget;

namespace volta::shell {

class NoticeBoxes {
 public:
  explicit NoticeBoxes(QWidget* parent) : parent_(parent) {}
  NoticeBoxes(const NoticeBoxes&) = delete;
  NoticeBoxes& operator=(const NoticeBoxes&) = delete;
  ~NoticeBoxes();

  void show(const QString& caption, const QString& text);
  // How many messages the open box of the caption stands for; 0 when none is open.
  int count(const QString& caption) const;

 private:
  struct Notice {
    QPointer<QMessageBox> box;
    int count = 0;
  };
  QWidget* parent_;
  std::map<QString, Notice> notices_;
};

}  // namespace volta::shell
