#pragma once
// A property sheet: pages on tabs with OK and Cancel. Every page reads its values from
// the settings when the sheet opens and writes them on OK; then `applied` tells the
// player to take them up. A page is any widget with read(store) and write(store).

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/settings/settings_store.h"

class QTabWidget;

namespace volta::shell {

class TPropertySheet : public QDialog {
  Q_OBJECT

 public:
  TPropertySheet(const QString& title, platform::settings::SettingsStore& store, QWidget* parent = nullptr);

  // Adds the page (titled by its window title) and reads its values at once.
  template <class Page>
  Page* addPage(Page* page) {
    addPageWith(
        page, [page](const platform::settings::SettingsStore& store) { page->read(store); },
        [page](platform::settings::SettingsStore& store) { return page->write(store); });
    return page;
  }
  QTabWidget* tabs() const { return tabs_; }

  // OK: every page writes; false when a value could not be saved.
  bool writePages();
  void accept() override;

 signals:
  void applied();

 private:
  void addPageWith(QWidget* page, std::function<void(const platform::settings::SettingsStore&)> read,
                   std::function<bool(platform::settings::SettingsStore&)> write);

  platform::settings::SettingsStore& store_;
  QTabWidget* tabs_ = nullptr;
  std::vector<std::function<bool(platform::settings::SettingsStore&)>> writers_;
};

}  // namespace volta::shell
