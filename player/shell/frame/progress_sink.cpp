#include "player/shell/frame/progress_sink.h"

namespace volta::shell {

namespace {

QString text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

ProgressSink::ProgressSink(QWidget* owner, int language) : dialog_(new TProgressDialog(owner)), language_(language) {
  dialog_->setAttribute(Qt::WA_DeleteOnClose, true);
}

void ProgressSink::showSource(const std::string& folderOrArchive) {
  if (dialog_) dialog_->setSource(text(folderOrArchive));
}

void ProgressSink::showSong(const std::string& name) {
  if (dialog_) dialog_->setSong(text(name));
}

void ProgressSink::appendMessage(const std::string& message) {
  if (dialog_) dialog_->addMessage(text(message));
}

void ProgressSink::finish(const std::string& message) {
  const bool english = language_ != 0 && message == core::kProgressFinished;
  if (dialog_) dialog_->finish(english ? QStringLiteral("Finished") : text(message));
}

}  // namespace volta::shell
