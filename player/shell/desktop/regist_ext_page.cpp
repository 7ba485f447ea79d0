#include "player/shell/desktop/regist_ext_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {
namespace {

namespace dt = platform::desktop;

// The descriptions live beside the main settings: the desktop keeps them only inside our package.
constexpr std::string_view kDescriptionKey = "Software\\QZ\\VOLTA\\FileTypes";
constexpr std::array<const char*, 3> kDescriptionNames{"Song", "List", "WRD"};

// Per type of dt::kFileTypes: the group's name in Japanese and in English.
constexpr std::array<std::array<const char*, 2>, dt::kFileTypes.size()> kGroupNames{{
    {"スタンダードMIDIファイル", "Standard MIDI File"},
    {"スタンダードMIDIファイル", "Standard MIDI File"},
    {"レコンポーザ 2.5F 以前", "Recomposer 2.5F before"},
    {"レコンポーザ 2.5G 以降", "Recomposer 2.5G later"},
    {"リストファイル", "List files"},
    {"歌詞ファイル", "Lyrics files"},
    {"LZH 書庫", "LZH archives"},
}};

std::string* field(dt::Descriptions& descriptions, std::size_t index) {
  return index == 0 ? &descriptions.song : index == 1 ? &descriptions.list : &descriptions.wrd;
}

QString tr2(int language, const char* japanese, const char* english) {
  return QString::fromUtf8(language == kJapanese ? japanese : english);
}

}  // namespace

TRegistExtDialog::TRegistExtDialog(int language, QWidget* parent)
    : TRegistExtDialog(language, dt::FileAssociations::forRunningProgram(), parent) {}

TRegistExtDialog::TRegistExtDialog(int language, dt::FileAssociations associations, QWidget* parent)
    : QWidget(parent), associations_(std::move(associations)) {
  build(language);
}

void TRegistExtDialog::build(int language) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageFileTypes, language)));
  auto* layout = new QVBoxLayout(this);
  auto* types = new QGroupBox(tr2(language, "関連付ける種類", "Open with VOLTA Player"), this);
  auto* typeLayout = new QVBoxLayout(types);
  for (std::size_t index = 0; index < dt::kFileTypes.size(); ++index) {
    const QString label = QString::fromUtf8(kGroupNames[index][language == kJapanese ? 0 : 1]) + " (" +
                          QString::fromUtf8(dt::kFileTypes[index].label.data(), dt::kFileTypes[index].label.size()) +
                          ")";
    boxes_[index] = new QCheckBox(label, types);
    boxes_[index]->setObjectName(QString::fromUtf8(dt::kFileTypes[index].mimeType.data()));
    typeLayout->addWidget(boxes_[index]);
  }
  layout->addWidget(types);
  auto* form = new QFormLayout;
  const std::array<QString, 3> labels{tr2(language, "曲の説明", "Song description"),
                                      tr2(language, "リストの説明", "List description"),
                                      tr2(language, "WRD の説明", "WRD description")};
  for (std::size_t index = 0; index < descriptionEdits_.size(); ++index) {
    descriptionEdits_[index] = new QLineEdit(this);
    form->addRow(labels[index], descriptionEdits_[index]);
  }
  layout->addLayout(form);
  auto* remove = new QPushButton(tr2(language, "すべての関連付けを解除", "Remove all associations"), this);
  connect(remove, &QPushButton::clicked, this, &TRegistExtDialog::removeAll);
  layout->addWidget(remove, 0, Qt::AlignLeft);
  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  problem_->setObjectName(QStringLiteral("problem"));
  layout->addWidget(problem_);
  layout->addStretch();
  setDescriptions({});
}

std::set<std::string> TRegistExtDialog::chosenTypes() const {
  std::set<std::string> types;
  for (std::size_t index = 0; index < boxes_.size(); ++index)
    if (boxes_[index]->isChecked()) types.emplace(dt::kFileTypes[index].mimeType);
  return types;
}

void TRegistExtDialog::setChosenTypes(const std::set<std::string>& types) {
  for (std::size_t index = 0; index < boxes_.size(); ++index)
    boxes_[index]->setChecked(types.contains(std::string(dt::kFileTypes[index].mimeType)));
}

dt::Descriptions TRegistExtDialog::descriptions() const {
  dt::Descriptions descriptions;
  for (std::size_t index = 0; index < descriptionEdits_.size(); ++index)
    *field(descriptions, index) = descriptionEdits_[index]->text().toStdString();
  return descriptions;
}

void TRegistExtDialog::setDescriptions(const dt::Descriptions& descriptions) {
  dt::Descriptions copy = descriptions;
  for (std::size_t index = 0; index < descriptionEdits_.size(); ++index)
    descriptionEdits_[index]->setText(QString::fromStdString(*field(copy, index)));
}

void TRegistExtDialog::read(const platform::settings::SettingsStore& store) {
  for (std::size_t index = 0; index < kDescriptionNames.size(); ++index) {
    std::string* value = field(readDescriptions_, index);
    *value = store.readString(kDescriptionKey, kDescriptionNames[index], *value);
  }
  readTypes_ = associations_.registeredTypes();
  setDescriptions(readDescriptions_);
  setChosenTypes(readTypes_);
}

bool TRegistExtDialog::write(platform::settings::SettingsStore& store) const {
  dt::Descriptions chosen = descriptions();
  platform::settings::SettingsBatch batch;
  for (std::size_t index = 0; index < kDescriptionNames.size(); ++index)
    batch.setString(kDescriptionKey, kDescriptionNames[index], *field(chosen, index));
  const bool stored = store.apply(batch);
  const std::set<std::string> types = chosenTypes();
  // Descriptions matter only while some type is ours.
  const bool changed = types != readTypes_ || (!types.empty() && chosen != readDescriptions_);
  if (!changed) return stored;
  return report(associations_.apply(types, chosen)) && stored;
}

bool TRegistExtDialog::removeAll() {
  setChosenTypes({});
  if (!report(associations_.apply({}, descriptions()))) return false;
  readTypes_.clear();
  return true;
}

bool TRegistExtDialog::report(bool ok) const {
  problem_->setText(ok ? QString() : QString::fromStdString(associations_.error()));
  return ok;
}

}  // namespace volta::shell
