#include "player/shell/midi/property_sheet.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace volta::shell {

TPropertySheet::TPropertySheet(const QString& title, platform::settings::SettingsStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TPropertySheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TPropertySheet::reject);
  layout->addWidget(buttons);
}

void TPropertySheet::addPageWith(QWidget* page, std::function<void(const platform::settings::SettingsStore&)> read,
                                 std::function<bool(platform::settings::SettingsStore&)> write) {
  read(store_);
  tabs_->addTab(page, page->windowTitle());
  writers_.push_back(std::move(write));
}

bool TPropertySheet::writePages() {
  bool written = true;
  for (const auto& write : writers_)
    written = write(store_) && written;
  return written;
}

void TPropertySheet::accept() {
  if (!writePages())
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("Cannot save the settings to %1").arg(QString::fromStdString(store_.path())));
  emit applied();
  QDialog::accept();
}

}  // namespace volta::shell
