#include "player/shell/panel/smfk_config_page.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace {

constexpr const char kFolderKey[] = "SMFKFolder";

}  // namespace

TSMFKConfigDialog::TSMFKConfigDialog(int language, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageSmfKnife, language)));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QString::fromUtf8(language == kJapanese ? "SMFナイフの設定ファイル(*.CFG)のフォルダ"
                                                         : "Folder of the SMF Knife configuration files (*.CFG)"),
                 this));
  auto* row = new QHBoxLayout;
  folder_ = new QLineEdit(this);
  auto* choose = new QPushButton(QStringLiteral("..."), this);
  row->addWidget(folder_, 1);
  row->addWidget(choose);
  layout->addLayout(row);
  layout->addStretch(1);
  prompt_ = [this](const QString& current) {
    return QFileDialog::getExistingDirectory(this, QStringLiteral("Choose a folder"), current);
  };
  connect(choose, &QPushButton::clicked, this, &TSMFKConfigDialog::chooseFolder);
}

void TSMFKConfigDialog::read(const platform::settings::SettingsStore& store) {
  // Folder names are the system's bytes.
  folder_->setText(QFile::decodeName(store.readString(platform::settings::kMainKey, kFolderKey, "").c_str()));
}

bool TSMFKConfigDialog::write(platform::settings::SettingsStore& store) const {
  return store.writeString(platform::settings::kMainKey, kFolderKey, QFile::encodeName(folder_->text()).toStdString());
}

void TSMFKConfigDialog::chooseFolder() {
  const QString chosen = prompt_(folder_->text());
  if (!chosen.isEmpty()) folder_->setText(chosen);
}

}  // namespace volta::shell
