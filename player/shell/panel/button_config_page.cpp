#include "player/shell/panel/button_config_page.h"

#include <QGridLayout>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

#include "player/shell/panel/button_bar.h"
#include "player/shell/panel/button_row.h"
#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"
#include "player/shell/panel/list_moves.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {
namespace {

int commandOf(const QListWidgetItem* item) {
  return item->data(Qt::UserRole).toInt();
}

QPushButton* addButton(QGridLayout* layout, const QString& label, int row, QWidget* parent) {
  auto* button = new QPushButton(label, parent);
  layout->addWidget(button, row, 1);
  return button;
}

}  // namespace

TButtonConfigDialog::TButtonConfigDialog(int language, QWidget* parent) : QWidget(parent), language_(language) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageButtons, language)));
  available_ = new QListWidget(this);
  row_ = new QListWidget(this);
  for (const CommandText& command : commandTexts()) {
    if (command.id != cmd::kAlbumPlaceholder) addEntry(available_, command.id);
  }
  auto* layout = new QGridLayout(this);
  layout->addWidget(available_, 0, 0, 6, 1);
  layout->addWidget(row_, 0, 2, 6, 1);
  connect(addButton(layout, QStringLiteral(">>"), 0, this), &QPushButton::clicked, this,
          &TButtonConfigDialog::addSelected);
  connect(addButton(layout, QStringLiteral("<<"), 1, this), &QPushButton::clicked, this,
          &TButtonConfigDialog::removeSelected);
  connect(addButton(layout, QStringLiteral("↑"), 2, this), &QPushButton::clicked, this, [this] { moveSelected(-1); });
  connect(addButton(layout, QStringLiteral("↓"), 3, this), &QPushButton::clicked, this, [this] { moveSelected(1); });
  connect(addButton(layout, language == kJapanese ? QStringLiteral("標準") : QStringLiteral("Default"), 4, this),
          &QPushButton::clicked, this, &TButtonConfigDialog::restoreDefault);
  setRow(defaultButtonRow());
}

void TButtonConfigDialog::addEntry(QListWidget* list, int command) {
  auto* item = new QListWidgetItem(QIcon(ButtonBar::picture(command, false)),
                                   QString::fromStdString(plainCommandName(command, language_)), list);
  item->setData(Qt::UserRole, command);
}

void TButtonConfigDialog::setRow(const std::vector<int>& commands) {
  row_->clear();
  for (int command : commands) {
    if (findCommand(command) && static_cast<std::size_t>(row_->count()) < kMaxButtons) addEntry(row_, command);
  }
}

std::vector<int> TButtonConfigDialog::row() const {
  std::vector<int> commands;
  for (int index = 0; index < row_->count(); ++index)
    commands.push_back(commandOf(row_->item(index)));
  return commands;
}

void TButtonConfigDialog::read(const platform::settings::SettingsStore& store) {
  setRow(readButtonRow(store));
}

bool TButtonConfigDialog::write(platform::settings::SettingsStore& store) const {
  return store.writeBinary(platform::settings::kMainKey, "NewButtons", encodeButtonRow(row()));
}

void TButtonConfigDialog::addSelected() {
  const QListWidgetItem* chosen = available_->currentItem();
  if (!chosen || static_cast<std::size_t>(row_->count()) >= kMaxButtons) return;
  addEntry(row_, commandOf(chosen));
  row_->setCurrentRow(row_->count() - 1);
}

void TButtonConfigDialog::removeSelected() {
  delete row_->takeItem(row_->currentRow());
}

void TButtonConfigDialog::moveSelected(int step) {
  moveCurrentRow(*row_, step);
}

void TButtonConfigDialog::restoreDefault() {
  setRow(defaultButtonRow());
}

}  // namespace volta::shell
