#pragma once
// The modeless dialog of songs being added to the list: the folder or archive, the
// song being read, and the songs that could not be read with the reason. It shows
// itself only once adding took half a second or has a message; at the end it stays,
// until the user closes it, only when it has messages to show.

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
  // Adding ended: with messages the text replaces the song and the dialog waits to be
  // closed; without, it closes.
  void finish(const QString& text);

  QString source() const;
  QString song() const;
  QString messages() const;
  bool finished() const { return finished_; }

 private:
  // Brought to the front at most once a second, so that reading a big folder
  // does not keep stealing the focus.
  void surface(bool wanted);

  QLabel* source_;
  QLabel* song_;
  QPlainTextEdit* messages_;
  QPushButton* close_;
  std::uint32_t started_;
  std::uint32_t lastRaised_ = 0;
  bool raisedOnce_ = false;
  bool finished_ = false;
};

}  // namespace volta::shell
