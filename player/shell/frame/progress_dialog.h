#pragma once
// The modeless dialog shown while songs are added to the list: the folder or
// archive, the song being read, and the messages of songs that could not be read.
// It stays after the end ("終了しました") until the user closes it.

#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace volta::shell {

class TProgressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TProgressDialog(QWidget* parent = nullptr);

  void setSource(const QString& folderOrArchive);
  void setSong(const QString& song);
  // Appended as it stands (callers bring their own line breaks).
  void addMessage(const QString& text);
  // Adding ended: the text replaces the song, and the dialog waits to be closed.
  void finish(const QString& text);

  QString source() const;
  QString song() const;
  QString messages() const;
  bool finished() const { return finished_; }

 private:
  // Brought to the front at most once a second, so that reading a big folder
  // does not keep stealing the focus.
  void surface();

  QLabel* source_;
  QLabel* song_;
  QPlainTextEdit* messages_;
  QPushButton* close_;
  std::uint32_t lastRaised_ = 0;
  bool raisedOnce_ = false;
  bool finished_ = false;
};

}  // namespace volta::shell
