#pragma once
// The progress dialog as the play list's progress report while songs are added.

#include <QPointer>
#include <memory>

#include "player/core/playlist/list_opening.h"
#include "player/shell/frame/progress_dialog.h"

namespace volta::shell {

class ProgressSink final : public core::AddProgress {
 public:
  // Its texts in the language (0 Japanese, 1 English).
  ProgressSink(QWidget* owner, int language);
  void showSource(const std::string& folderOrArchive) override;
  void showSong(const std::string& name) override;
  void appendMessage(const std::string& text) override;
  void finish(const std::string& text) override;
  // Null once the dialog closed.
  TProgressDialog* dialog() const { return dialog_; }

 private:
  // The dialog stays after the adding ended and deletes itself when closed.
  QPointer<TProgressDialog> dialog_;
  int language_;
};

}  // namespace volta::shell
