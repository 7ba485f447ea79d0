#pragma once
// A property sheet: a title and a row of pages, each a widget that reads its values
// from the settings when the sheet opens and writes them when OK is pressed. Pages
// follow one convention (`void read(const SettingsStore&)`, `bool write(SettingsStore&)
// const`); SheetPage::of wraps any such page, so a sheet is built from a list of them.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "platform/settings/settings_store.h"

class QDialogButtonBox;
class QTabWidget;

namespace volta::shell {

struct SheetPage {
  QWidget* widget = nullptr;
  std::function<void(const platform::settings::SettingsStore&)> read;
  std::function<bool(platform::settings::SettingsStore&)> write;

  template <typename Page>
  static SheetPage of(Page* page) {
    return {page, [page](const platform::settings::SettingsStore& store) { page->read(store); },
            [page](platform::settings::SettingsStore& store) { return page->write(store); }};
  }
};

// Makes one page for the sheet, in the texts' language.
using PageMaker = std::function<SheetPage(int language)>;

class TPropertySheet : public QDialog {
  Q_OBJECT

 public:
  TPropertySheet(const QString& title, platform::settings::SettingsStore& store, QWidget* parent = nullptr);

  // The page's tab is titled with the page widget's window title; it reads its values at once.
  void addPage(SheetPage page);
  template <typename Page>
  Page* addPage(Page* page) {
    addPage(SheetPage::of(page));
    return page;
  }
  int pageCount() const;
  QWidget* page(int index) const;
  QTabWidget* tabs() const { return tabs_; }

  // Every page reads its values (done when the sheet is shown).
  void readPages();
  // Every page writes its values; false when one could not be written.
  bool writePages();
  // As the OK button: writes, then closes with Accepted.
  void accept() override;

 signals:
  // The pages wrote their values: the player applies them now.
  void written();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  platform::settings::SettingsStore& store_;
  QTabWidget* tabs_;
  QDialogButtonBox* buttons_;
  std::vector<SheetPage> pages_;
};

}  // namespace volta::shell
