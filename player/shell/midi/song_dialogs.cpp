#include "player/shell/midi/song_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/text.h"
#include "player/core/song_tdf.h"
#include "player/shell/midi/device_choice.h"

namespace volta::shell {

namespace {

constexpr const char* kPortAssignTypes[] = {"Normal", "TRACK1 A-PORT, TRACK2 B-PORT",
                                            "TRACK1-16 A-PORT, TRACK17- B-PORT", "Force all channel output to A-PORT"};

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QString wrdStateText(int state, int language) {
  if (state == 2) return pick(language, "あり", "present");
  if (state == 1) return pick(language, "なし", "none");
  return pick(language, "未確認", "not checked");
}

}  // namespace

QString lengthText(std::uint32_t milliseconds) {
  const std::uint32_t seconds = milliseconds / 1000;
  return QString::asprintf("%02u:%02u", seconds / 60, seconds % 60);
}

// ---- module ----

TTdfDialog::TTdfDialog(const core::TINICritical& definitions, const std::string& module, int language, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(pick(language, "曲の音源", "Song module"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 56);
  list_->addItem(QStringLiteral("Auto"));
  for (const auto& [key, description] : sectionChoices(definitions, "tdfindex")) {
    auto* item = new QListWidgetItem(QString::fromStdString(description), list_);
    item->setData(Qt::UserRole, QString::fromStdString(key));
    if (platform::text::equalsIgnoringCase(key, module)) list_->setCurrentItem(item);
  }
  if (!list_->currentItem()) list_->setCurrentRow(0);
  connect(list_, &QListWidget::itemDoubleClicked, this, &TTdfDialog::accept);
  layout->addWidget(list_);
  layout->addWidget(okCancel(this));
}

std::string TTdfDialog::module() const {
  const QListWidgetItem* item = list_->currentItem();
  return item ? item->data(Qt::UserRole).toString().toStdString() : std::string();
}

// ---- properties ----

TSongPropertiesDialog::TSongPropertiesDialog(const core::MIDIFile& entry, std::filesystem::path songPath,
                                             const core::TINICritical& definitions, int language, QWidget* parent)
    : QDialog(parent), entry_(entry), songPath_(std::move(songPath)), definitions_(definitions), language_(language) {
  if (const auto stored = core::readSongTdf(songPath_, entry_.archiveMember, {entry_.module, entry_.portAssignType},
                                            kDialogModuleLength)) {
    entry_.module = stored->moduleName;
    entry_.portAssignType = stored->portAssignType;
  }
  setWindowTitle(QString::fromStdString(platform::text::cp932ToUtf8(entry_.title)));
  auto* form = new QFormLayout(this);
  portAssign_ = new QComboBox(this);
  portAssign_->setObjectName(QStringLiteral("portAssignType"));
  for (const char* type : kPortAssignTypes)
    portAssign_->addItem(QString::fromUtf8(type));
  portAssign_->setCurrentIndex(std::clamp(entry_.portAssignType, 0, portAssign_->count() - 1));
  form->addRow(pick(language, "ポート割り当て", "Port assignment"), portAssign_);
  module_ = new QLabel(this);
  auto* moduleButton = new QPushButton(pick(language, "音源...", "Module..."), this);
  connect(moduleButton, &QPushButton::clicked, this, &TSongPropertiesDialog::chooseModule);
  auto* moduleRow = new QHBoxLayout;
  moduleRow->addWidget(module_, 1);
  moduleRow->addWidget(moduleButton);
  form->addRow(pick(language, "音源", "Module"), moduleRow);
  setModule(entry_.module);
  form->addRow(pick(language, "長さ", "Length"), new QLabel(lengthText(entry_.lengthMs), this));
  form->addRow(QStringLiteral("WRD"), new QLabel(wrdStateText(entry_.wrdState, language), this));
  form->addRow(pick(language, "ファイル", "File"), new QLabel(QFile::decodeName(songPath_.c_str()), this));
  if (!entry_.archiveMember.empty())
    form->addRow(pick(language, "書庫内の名前", "Archive member"),
                 new QLabel(QString::fromStdString(platform::text::cp932ToUtf8(entry_.archiveMember)), this));
  error_ = new QLabel(this);
  form->addRow(error_);
  form->addRow(okCancel(this));
}

void TSongPropertiesDialog::setModule(const std::string& module) {
  entry_.module = module.substr(0, kDialogModuleLength);
  module_->setText(entry_.module.empty() ? QStringLiteral("Auto") : QString::fromStdString(entry_.module));
}

bool TSongPropertiesDialog::chooseModule() {
  TTdfDialog dialog(definitions_, entry_.module, language_, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  setModule(dialog.module());
  return true;
}

bool TSongPropertiesDialog::save() {
  entry_.portAssignType = portAssign_->currentIndex();
  if (core::writeSongTdf(songPath_, entry_.archiveMember, {entry_.module, entry_.portAssignType})) return true;
  error_->setText(pick(language_, "%1 に書き込めません", "Cannot write %1")
                      .arg(QFile::decodeName(core::songTdfPath(songPath_).c_str())));
  return false;
}

void TSongPropertiesDialog::accept() {
  if (save()) QDialog::accept();
}

}  // namespace volta::shell
