#include "player/shell/frame/list_edit_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "player/shell/frame/list_rows.h"
#include "player/shell/frame/progress_sink.h"

namespace volta::shell {

namespace {

using core::BrowserItem;

QString label(Language language, const char* japanese, const char* english) {
  return QString::fromUtf8(language == kJapanese ? japanese : english);
}

QString osText(const std::string& name) {
  return QFile::decodeName(name.c_str());
}

std::string osName(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

// Where an absolute list may jump to: the file system's root and the user's home.
std::vector<std::string> places() {
  return {"/", osName(QDir::homePath())};
}

QString askFolder(QWidget* parent, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, parent->windowTitle(), start);
}

}  // namespace

TListEditDialog::TListEditDialog(const app::ListEditRequest& request, Language language, QWidget* parent)
    : QDialog(parent),
      editor_(request.list),
      browser_(request.list.baseFolder, request.startFolder.empty() ? osName(QDir::homePath()) : request.startFolder,
               places()),
      reader_(request.reader),
      waveEnabled_(request.waveEnabled),
      language_(language),
      chooser_(askFolder) {
  setWindowTitle(label(language, "リスト編集", "Edit list"));
  buildLayout(language);
  connectControls();
  fillPlayList(-1);
  fillFiles();
}

TListEditDialog::~TListEditDialog() = default;

void TListEditDialog::buildLayout(Language language) {
  playList_ = new QTreeWidget;
  playList_->setHeaderLabels({label(language, "タイトル", "Title"), label(language, "ファイル名", "File name")});
  playList_->setRootIsDecorated(false);
  playList_->setTextElideMode(Qt::ElideMiddle);  // long paths keep their file name in sight
  playList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  playList_->header()->setStretchLastSection(true);
  playList_->setColumnWidth(0, 220);
  files_ = new QListWidget;
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  add_ = new QPushButton(label(language, "<< 追加(&A)", "<< &Add"));
  insert_ = new QPushButton(label(language, "<< 挿入(&I)", "<< &Insert"));
  all_ = new QPushButton(label(language, "全追加(&L)", "<< A&ll"));
  up_ = new QPushButton(label(language, "上へ(&U)", "&Up"));
  down_ = new QPushButton(label(language, "下へ(&N)", "Dow&n"));
  delete_ = new QPushButton(label(language, "削除(&D)", "&Delete"));
  deleteAll_ = new QPushButton(label(language, "全削除(&T)", "Dele&te all"));
  folder_ = new QPushButton(label(language, "フォルダ(&F)...", "&Folder..."));
  noSubFolders_ = new QCheckBox(label(language, "サブフォルダを検索しない(&S)", "Do not search &sub folders"));
  onlyWrd_ = new QCheckBox(label(language, "WRD付きのみ(&W)", "Only &WRD"));
  exceptLzh_ = new QCheckBox(label(language, "LZHを除く(&Z)", "except L&ZH"));
  base_ = new QLabel(osText(browser_.baseFolder()));
  current_ = new QLabel;
  notice_ = new QLabel;
  notice_->setStyleSheet(QStringLiteral("color: #b00000"));
  for (QLabel* path : {base_, current_})
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {add_, insert_, all_})
    buttons->addWidget(button);
  buttons->addSpacing(12);
  for (QPushButton* button : {up_, down_, delete_, deleteAll_})
    buttons->addWidget(button);
  buttons->addStretch();

  auto* folders = new QGridLayout;
  folders->addWidget(new QLabel(label(language, "基本フォルダ", "Base folder")), 0, 0);
  folders->addWidget(base_, 0, 1);
  folders->addWidget(new QLabel(label(language, "カレントフォルダ", "Current folder")), 1, 0);
  folders->addWidget(current_, 1, 1);
  folders->addWidget(folder_, 1, 2);
  folders->setColumnStretch(1, 1);

  auto* right = new QVBoxLayout;
  right->addLayout(folders);
  right->addWidget(files_, 1);
  for (QCheckBox* option : {noSubFolders_, onlyWrd_, exceptLzh_})
    right->addWidget(option);

  auto* row = new QHBoxLayout;
  row->addWidget(playList_, 3);
  row->addLayout(buttons);
  row->addLayout(right, 2);
  auto* ending = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(ending, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(ending, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row, 1);
  layout->addWidget(notice_);
  layout->addWidget(ending);
  resize(820, 480);
}

void TListEditDialog::connectControls() {
  connect(add_, &QPushButton::clicked, this, [this] { addSelected(false); });
  connect(insert_, &QPushButton::clicked, this, [this] { addSelected(true); });
  connect(all_, &QPushButton::clicked, this, [this] { addAll(); });
  connect(up_, &QPushButton::clicked, this, [this] { move(true); });
  connect(down_, &QPushButton::clicked, this, [this] { move(false); });
  connect(delete_, &QPushButton::clicked, this, [this] { removeSelected(); });
  connect(deleteAll_, &QPushButton::clicked, this, [this] {
    editor_.removeAll();
    fillPlayList(-1);
  });
  connect(folder_, &QPushButton::clicked, this, [this] { chooseFolder(); });
  connect(files_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { chooseFileRow(files_->row(item)); });
  connect(playList_, &QTreeWidget::itemSelectionChanged, this, [this] { updateButtons(); });
  connect(playList_, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
  connect(files_, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
  // What the files list offers depends on two of the options.
  for (QCheckBox* option : {onlyWrd_, exceptLzh_})
    connect(option, &QCheckBox::toggled, this, [this] { fillFiles(); });
}

void TListEditDialog::fillPlayList(int current) {
  playList_->clear();
  for (const core::MIDIFile& entry : editor_.entries()) {
    const QString name = osText(entry.archiveMember.empty() ? entry.fileName : entry.archiveMember);
    playList_->addTopLevelItem(new QTreeWidgetItem({listRow(entry, false).title, name}));
  }
  if (current >= 0 && current < playList_->topLevelItemCount()) {
    playList_->setCurrentItem(playList_->topLevelItem(current));
    playList_->scrollToItem(playList_->currentItem());
  }
  updateButtons();
}

void TListEditDialog::fillFiles() {
  files_->clear();
  items_ = browser_.items(filter(), reader_);
  for (const BrowserItem& item : items_)
    files_->addItem(osText(item.label()));
  current_->setText(osText(browser_.currentFolder()));
  updateButtons();
}

core::SongFilter TListEditDialog::filter() const {
  return {waveEnabled_, onlyWrd_->isChecked(), exceptLzh_->isChecked()};
}

std::vector<std::string> TListEditDialog::selectedFiles() const {
  std::vector<std::string> names;
  for (int row = 0; row < files_->count(); ++row) {
    const BrowserItem& item = items_[static_cast<std::size_t>(row)];
    if (files_->item(row)->isSelected() && item.kind == BrowserItem::Kind::kFile) names.push_back(item.name);
  }
  return names;
}

std::vector<std::size_t> TListEditDialog::selectedRows() const {
  std::vector<std::size_t> rows;
  for (int row = 0; row < playList_->topLevelItemCount(); ++row) {
    if (playList_->topLevelItem(row)->isSelected()) rows.push_back(static_cast<std::size_t>(row));
  }
  return rows;
}

// Insert goes before the first selected row; without one it adds at the end.
void TListEditDialog::addSelected(bool insert) {
  const std::vector<std::string> names = selectedFiles();
  if (names.empty()) return;
  const std::vector<std::size_t> rows = selectedRows();
  const std::size_t before = insert && !rows.empty() ? rows.front() : editor_.entries().size();
  const std::size_t count = editor_.entries().size();
  editor_.add(browser_, names, before, reader_, &beginProgress());
  fillPlayList(static_cast<int>(before + editor_.entries().size() - count) - 1);
}

void TListEditDialog::addAll() {
  core::SearchOptions options;
  options.filter = filter();
  options.subFolders = !noSubFolders_->isChecked();
  editor_.addAll(browser_, options, reader_, &beginProgress());
  fillPlayList(static_cast<int>(editor_.entries().size()) - 1);
}

void TListEditDialog::move(bool up) {
  QTreeWidgetItem* item = playList_->currentItem();
  if (!item) return;
  const auto row = static_cast<std::size_t>(playList_->indexOfTopLevelItem(item));
  fillPlayList(static_cast<int>(up ? editor_.moveUp(row) : editor_.moveDown(row)));
}

void TListEditDialog::removeSelected() {
  const std::vector<std::size_t> rows = selectedRows();
  if (rows.empty()) return;
  editor_.remove(rows);
  fillPlayList(static_cast<int>(rows.front()));
}

void TListEditDialog::chooseFileRow(int row) {
  if (row < 0 || row >= static_cast<int>(items_.size())) return;
  const BrowserItem item = items_[static_cast<std::size_t>(row)];
  if (item.kind == BrowserItem::Kind::kFile) {
    editor_.add(browser_, {item.name}, editor_.entries().size(), reader_, &beginProgress());
    fillPlayList(static_cast<int>(editor_.entries().size()) - 1);
    return;
  }
  notice_->clear();
  if (browser_.choose(item)) fillFiles();
}

// A folder named from outside: a relative list keeps to its base folder.
void TListEditDialog::chooseFolder() {
  const QString chosen = chooser_(this, osText(browser_.currentPath().string()));
  if (chosen.isEmpty()) return;
  if (browser_.goTo(osName(chosen))) {
    notice_->clear();
    fillFiles();
  } else if (browser_.relative()) {
    notice_->setText(label(language_, "基本フォルダ以下のファイルしか登録できません。",
                           "Only files below the base folder can be added to this list."));
  } else {
    notice_->setText(label(language_, "フォルダがありません。", "There is no such folder."));
  }
}

ProgressSink& TListEditDialog::beginProgress() {
  progress_ = std::make_unique<ProgressSink>(this, language_);
  if (TProgressDialog* dialog = progress_->dialog())
    dialog->setWindowTitle(label(language_, "ファイル検索中...", "Finding files...."));
  return *progress_;
}

TProgressDialog* TListEditDialog::progressDialog() const {
  return progress_ ? progress_->dialog() : nullptr;
}

void TListEditDialog::updateButtons() {
  const bool fileChosen = !selectedFiles().empty();
  const int count = playList_->topLevelItemCount();
  const int row = playList_->currentItem() ? playList_->indexOfTopLevelItem(playList_->currentItem()) : -1;
  add_->setEnabled(fileChosen);
  insert_->setEnabled(fileChosen);
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < count);
  delete_->setEnabled(!selectedRows().empty());
  deleteAll_->setEnabled(count > 0);
}

}  // namespace volta::shell
