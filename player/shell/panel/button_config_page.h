#pragma once
// The "Buttons" page of the configuration: which commands the button bar holds and
// in what order, stored as the "NewButtons" row.

#include <QWidget>
#include <vector>

#include "platform/settings/settings_store.h"

class QListWidget;

namespace volta::shell {

class TButtonConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TButtonConfigDialog(int language, QWidget* parent = nullptr);

  void setRow(const std::vector<int>& commands);
  std::vector<int> row() const;
  void read(const platform::settings::SettingsStore& store);
  // False when the setting could not be written.
  bool write(platform::settings::SettingsStore& store) const;

  // The editing steps behind the page's buttons, on the selected entries.
  void addSelected();  // appends the chosen command, while the row has room
  void removeSelected();
  void moveSelected(int step);  // -1 up, +1 down
  void restoreDefault();

 private:
  void addEntry(QListWidget* list, int command);

  int language_;
  QListWidget* available_ = nullptr;
  QListWidget* row_ = nullptr;
};

}  // namespace volta::shell
