#pragma once
// The "SMF Knife" page of the configuration: the folder holding SMF Knife's
// configuration files ("SMFKFolder"), typed or chosen with a folder dialog.

#include <QWidget>
#include <functional>

#include "platform/settings/settings_store.h"

class QLineEdit;

namespace volta::shell {

class TSMFKConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TSMFKConfigDialog(int language, QWidget* parent = nullptr);

  void read(const platform::settings::SettingsStore& store);
  // False when the setting could not be written.
  bool write(platform::settings::SettingsStore& store) const;

  // The folder dialog "Choose a folder"; tests answer it instead. Empty when cancelled.
  void setFolderPrompt(std::function<QString(const QString& current)> prompt) { prompt_ = std::move(prompt); }
  void chooseFolder();
  QLineEdit* folder() const { return folder_; }

 private:
  QLineEdit* folder_ = nullptr;
  std::function<QString(const QString& current)> prompt_;
};

}  // namespace volta::shell
