#pragma once
// The album editing dialog: the album's list files, added through a file dialog or
// by dropping them, removed and put in order. The caller stores the items on OK.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "player/shell/panel/language.h"

class QListWidget;
class QPushButton;

namespace volta::shell {

class TAlbumDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for list files to add; the default is the file dialog.
  using FileChooser = std::function<QStringList(QWidget* parent)>;

  TAlbumDialog(const std::vector<std::string>& items, Language language, QWidget* parent = nullptr);

  void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  // The items as shown, file names in the system's bytes.
  std::vector<std::string> items() const;

  QListWidget& list() const { return *list_; }
  QPushButton& addButton() const { return *add_; }
  QPushButton& removeButton() const { return *remove_; }
  QPushButton& upButton() const { return *up_; }
  QPushButton& downButton() const { return *down_; }

  // The file dialog of the album: its caption and list file filter.
  static QStringList chooseListFiles(QWidget* parent, Language language);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void addItems(const QStringList& paths);
  void removeCurrent();
  void updateButtons();

  QListWidget* list_;
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* up_;
  QPushButton* down_;
  FileChooser chooser_;
};

}  // namespace volta::shell
