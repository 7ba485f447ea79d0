#include "player/shell/keys/key_config_page.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "player/shell/keys/qt_keys.h"
#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace {

QString commandName(int command, int language) {
  const std::string name = plainCommandName(command, language);
  return name.empty() ? QStringLiteral("Unknown") : QString::fromStdString(name);
}

QString label(int language, const char* japanese, const char* english) {
  return QString::fromUtf8(language == kJapanese ? japanese : english);
}

}  // namespace

THotKeyEdit::THotKeyEdit(int language, QWidget* parent) : QLineEdit(parent), language_(language) {
  setReadOnly(true);
  setKey(0);
}

void THotKeyEdit::setKey(keys::KeyCode code) {
  key_ = code;
  setText(code == 0 ? label(language_, "なし", "None") : QString::fromStdString(keys::keyName(code)));
}

// Tab and Shift+Tab are keys to take, not moves to the next field.
bool THotKeyEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QLineEdit::event(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
  const bool alone = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (alone && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) return setKey(0);
  if (const keys::KeyCode code = keyCodeOf(*event)) setKey(code);
}

TKeyConfigDialog::TKeyConfigDialog(int language, QWidget* parent)
    : QWidget(parent),
      language_(language),
      list_(new QListWidget(this)),
      key1_(new THotKeyEdit(language, this)),
      key2_(new THotKeyEdit(language, this)) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageKeys, language)));
  auto* fields = new QFormLayout;
  fields->addRow(label(language, "キー1", "Key 1"), key1_);
  fields->addRow(label(language, "キー2", "Key 2"), key2_);
  auto* restore = new QPushButton(label(language, "標準", "Default"), this);
  connect(restore, &QPushButton::clicked, this, &TKeyConfigDialog::restoreDefault);
  auto* side = new QVBoxLayout;
  side->addLayout(fields);
  side->addStretch();
  side->addWidget(restore, 0, Qt::AlignRight);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side, 1);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    keepEdit();
    showRecord(row);
  });
  setTable(table_);
}

void TKeyConfigDialog::setTable(const keys::KeyTable& table) {
  table_ = table;
  shown_ = -1;
  const QSignalBlocker quiet(list_);
  list_->clear();
  for (const keys::KeyRecord& record : table_.records())
    list_->addItem(commandName(record.command, language_));
  list_->setCurrentRow(0);
  showRecord(0);
}

void TKeyConfigDialog::keepEdit() {
  if (shown_ >= 0) table_.setKeys(static_cast<std::size_t>(shown_), key1_->key(), key2_->key());
}

void TKeyConfigDialog::showRecord(int record) {
  shown_ = record >= 0 && static_cast<std::size_t>(record) < table_.records().size() ? record : -1;
  const keys::KeyRecord none{};
  const keys::KeyRecord& shown = shown_ >= 0 ? table_.records()[static_cast<std::size_t>(shown_)] : none;
  key1_->setKey(shown.key1);
  key2_->setKey(shown.key2);
}

void TKeyConfigDialog::select(int record) {
  list_->setCurrentRow(record);
}

int TKeyConfigDialog::selected() const {
  return list_->currentRow();
}

keys::KeyTable TKeyConfigDialog::table() const {
  keys::KeyTable table = table_;
  if (shown_ >= 0) table.setKeys(static_cast<std::size_t>(shown_), key1_->key(), key2_->key());
  return table;
}

void TKeyConfigDialog::read(const platform::settings::SettingsStore& store) {
  setTable(keys::KeyTable::read(store));
}

bool TKeyConfigDialog::write(platform::settings::SettingsStore& store) const {
  return table().write(store);
}

void TKeyConfigDialog::restoreDefault() {
  setTable(keys::KeyTable::defaults());
}

}  // namespace volta::shell
