#include "player/shell/frame/album_dialog.h"

#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "player/core/playlist/list_files.h"
#include "player/shell/frame/text_codec.h"
#include "player/shell/panel/list_moves.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace {

QString label(Language language, const char* japanese, const char* english) {
  return QString::fromUtf8(language == kJapanese ? japanese : english);
}

QString tableText(int id, Language language) {
  const std::string_view text = shell::text(id, language);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Only list files the player can open as lists belong in the album.
bool isAlbumList(const QString& path) {
  const core::ListKind kind = core::listKindOf(QFile::encodeName(path).toStdString());
  return kind == core::ListKind::kTor || kind == core::ListKind::kTo2;
}

}  // namespace

TAlbumDialog::TAlbumDialog(const std::vector<std::string>& items, Language language, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget),
      add_(new QPushButton(label(language, "追加(&A)...", "&Add..."))),
      remove_(new QPushButton(label(language, "削除(&D)", "&Delete"))),
      up_(new QPushButton(label(language, "上へ(&U)", "&Up"))),
      down_(new QPushButton(label(language, "下へ(&W)", "Do&wn"))),
      chooser_([language](QWidget* owner) { return chooseListFiles(owner, language); }) {
  setWindowTitle(tableText(text_id::kAlbumDialogCaption, language));
  setAcceptDrops(true);
  for (const std::string& item : items)
    list_->addItem(QFile::decodeName(item.c_str()));
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {add_, remove_, up_, down_})
    buttons->addWidget(button);
  buttons->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(list_, 1);
  row->addLayout(buttons);
  auto* ending = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(ending);
  resize(480, 300);

  connect(add_, &QPushButton::clicked, this, [this] { addItems(chooser_(this)); });
  connect(remove_, &QPushButton::clicked, this, [this] { removeCurrent(); });
  connect(up_, &QPushButton::clicked, this, [this] { moveCurrentRow(*list_, -1); });
  connect(down_, &QPushButton::clicked, this, [this] { moveCurrentRow(*list_, 1); });
  connect(list_, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
  connect(ending, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(ending, &QDialogButtonBox::rejected, this, &QDialog::reject);
  updateButtons();
}

std::vector<std::string> TAlbumDialog::items() const {
  std::vector<std::string> names;
  for (int row = 0; row < list_->count(); ++row)
    names.push_back(QFile::encodeName(list_->item(row)->text()).toStdString());
  return names;
}

QStringList TAlbumDialog::chooseListFiles(QWidget* parent, Language language) {
  return QFileDialog::getOpenFileNames(parent, tableText(text_id::kAlbumFileCaption, language), QString(),
                                       qtFilter(std::string(shell::text(text_id::kAlbumFilter, language))));
}

void TAlbumDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TAlbumDialog::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile() && isAlbumList(url.toLocalFile())) paths << url.toLocalFile();
  }
  addItems(paths);
  event->acceptProposedAction();
}

void TAlbumDialog::addItems(const QStringList& paths) {
  for (const QString& path : paths)
    list_->addItem(QFileInfo(path).absoluteFilePath());
  if (!paths.isEmpty()) list_->setCurrentRow(list_->count() - 1);
  updateButtons();
}

void TAlbumDialog::removeCurrent() {
  const int row = list_->currentRow();
  if (row < 0) return;
  delete list_->takeItem(row);
  updateButtons();
}

void TAlbumDialog::updateButtons() {
  const int row = list_->currentRow();
  remove_->setEnabled(row >= 0);
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < list_->count());
}

}  // namespace volta::shell
