#include "player/shell/settings/page_widgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "player/shell/settings/general_values.h"

namespace volta::shell {

QString pick(int language, const char* japanese, const char* english) {
  return QString::fromUtf8(language == 0 ? japanese : english);
}

QCheckBox* addCheck(QBoxLayout* layout, const QString& label) {
  auto* box = new QCheckBox(label, layout->parentWidget());
  layout->addWidget(box);
  return box;
}

FontChoice::FontChoice(int language, QWidget* parent)
    : QWidget(parent),
      face_(new QComboBox(this)),
      size_(new QSpinBox(this)),
      missing_(new QLabel(pick(language, "このフォントはありません: 標準のフォントで表示します",
                               "This face is not installed: the default face is shown"),
                          this)) {
  face_->setEditable(true);
  face_->addItems(QFontDatabase::families());
  size_->setRange(kMinFontSize, kMaxFontSize);
  size_->setSuffix(QStringLiteral(" px"));
  missing_->setEnabled(false);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(pick(language, "フォント", "Font"), this), 0, 0);
  layout->addWidget(face_, 0, 1);
  layout->addWidget(new QLabel(pick(language, "サイズ", "Size"), this), 0, 2);
  layout->addWidget(size_, 0, 3);
  layout->addWidget(missing_, 1, 1, 1, 3);
  layout->setColumnStretch(1, 1);
  connect(face_, &QComboBox::currentTextChanged, this,
          [this](const QString& face) { missing_->setVisible(!QFontDatabase::hasFamily(face)); });
}

void FontChoice::set(const std::string& face, int size) {
  face_->setCurrentText(QString::fromStdString(face));
  size_->setValue(size);
}

std::string FontChoice::face() const {
  return face_->currentText().toStdString();
}

int FontChoice::size() const {
  return size_->value();
}

FileChoice::FileChoice(const QString& caption, const QString& filter, const QString& standIn, QWidget* parent)
    : QWidget(parent), caption_(caption), filter_(filter), edit_(new QLineEdit(this)) {
  edit_->setPlaceholderText(standIn);
  auto* browseButton = new QPushButton(QStringLiteral("..."), this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit_, 1);
  layout->addWidget(browseButton);
  connect(browseButton, &QPushButton::clicked, this, &FileChoice::browse);
}

void FileChoice::set(const std::string& name) {
  edit_->setText(QFile::decodeName(name.c_str()));
}

std::string FileChoice::name() const {
  return QFile::encodeName(edit_->text()).toStdString();
}

void FileChoice::browse() {
  const QString chosen = QFileDialog::getOpenFileName(this, caption_, QFileInfo(edit_->text()).path(), filter_);
  if (!chosen.isEmpty()) edit_->setText(chosen);
}

}  // namespace volta::shell
