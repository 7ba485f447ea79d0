#include "player/shell/settings/property_sheet.h"

#include <QDialogButtonBox>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace volta::shell {

TPropertySheet::TPropertySheet(const QString& title, platform::settings::SettingsStore& store, QWidget* parent)
    : QDialog(parent), store_(store), tabs_(new QTabWidget(this)) {
  setWindowTitle(title);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &TPropertySheet::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TPropertySheet::addPage(SheetPage page) {
  page.read(store_);
  tabs_->addTab(page.widget, page.widget->windowTitle());
  pages_.push_back(std::move(page));
}

int TPropertySheet::pageCount() const {
  return static_cast<int>(pages_.size());
}

QWidget* TPropertySheet::page(int index) const {
  return pages_.at(static_cast<std::size_t>(index)).widget;
}

void TPropertySheet::readPages() {
  for (const SheetPage& page : pages_)
    page.read(store_);
}

bool TPropertySheet::writePages() {
  bool all = true;
  for (const SheetPage& page : pages_)
    all = page.write(store_) && all;
  return all;
}

void TPropertySheet::accept() {
  writePages();
  emit written();
  QDialog::accept();
}

void TPropertySheet::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) readPages();
  QDialog::showEvent(event);
}

}  // namespace volta::shell
