#include "player/shell/frame/progress_dialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/clock.h"

namespace volta::shell {

TProgressDialog::TProgressDialog(QWidget* parent)
    : QDialog(parent),
      source_(new QLabel(this)),
      song_(new QLabel(this)),
      messages_(new QPlainTextEdit(this)),
      close_(new QPushButton(QStringLiteral("OK"), this)),
      started_(platform::millisecondCounter()) {
  setWindowTitle(QStringLiteral("VOLTA Player"));
  setModal(false);
  setAttribute(Qt::WA_DeleteOnClose, false);
  messages_->setReadOnly(true);
  close_->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(source_);
  layout->addWidget(song_);
  layout->addWidget(messages_);
  layout->addWidget(close_, 0, Qt::AlignRight);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  resize(420, 260);
}

void TProgressDialog::setSource(const QString& folderOrArchive) {
  source_->setText(folderOrArchive);
  surface(false);
}

void TProgressDialog::setSong(const QString& song) {
  song_->setText(song);
  surface(false);
}

void TProgressDialog::addMessage(const QString& text) {
  messages_->moveCursor(QTextCursor::End);
  messages_->insertPlainText(text);
  surface(true);
}

void TProgressDialog::finish(const QString& text) {
  finished_ = true;
  song_->setText(text);
  close_->setEnabled(true);
  if (messages_->document()->isEmpty()) {
    close();
    return;
  }
  show();
  raise();
}

QString TProgressDialog::source() const {
  return source_->text();
}
QString TProgressDialog::song() const {
  return song_->text();
}
QString TProgressDialog::messages() const {
  return messages_->toPlainText();
}

// Shown when wanted (a message) or once adding takes longer than half a second.
void TProgressDialog::surface(bool wanted) {
  constexpr std::uint32_t kSlowMs = 500;
  const std::uint32_t now = platform::millisecondCounter();
  if (!isVisible() && !wanted && now - started_ < kSlowMs) return;
  if (!isVisible()) show();
  if (!raisedOnce_ || now - lastRaised_ >= 1000) {
    raise();
    raisedOnce_ = true;
    lastRaised_ = now;
  }
  // Adding runs on the interface thread: let the dialog paint between songs.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace volta::shell
