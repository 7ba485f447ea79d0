#include "player/shell/frame/file_list.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QUrl>

namespace volta::shell {

namespace {

constexpr std::array<int, TFileList::kColumns> kDefaultWidths{260, 110, 50, 40, 80};

bool carriesFiles(const QMimeData* data) {
  return data && data->hasUrls() && !localPaths(data->urls()).isEmpty();
}

}  // namespace

QIcon wrdMarkIcon() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 96, 192));
  painter.drawRoundedRect(QRectF(1, 3, 14, 10), 2, 2);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(8);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(1, 3, 14, 10), Qt::AlignCenter, QStringLiteral("W"));
  return QIcon(picture);
}

QStringList localPaths(const QList<QUrl>& urls) {
  QStringList paths;
  for (const QUrl& url : urls)
    if (url.isLocalFile()) paths << url.toLocalFile();
  return paths;
}

TFileList::TFileList(QWidget* parent) : QTreeWidget(parent), wrdIcon_(wrdMarkIcon()) {
  setColumnCount(kColumns);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setHeaderLabels({QStringLiteral("Title"), QStringLiteral("File name"), QStringLiteral("Length"),
                   QStringLiteral("LZH"), QStringLiteral("Module")});
  setColumnWidths(kDefaultWidths);
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (const int row = selectedRow(); row >= 0) emit rowChosen(row);
  });
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item, int) { emit rowActivated(indexOfTopLevelItem(item)); });
}

void TFileList::setHeaders(const QString& title, const QString& fileName) {
  headerItem()->setText(0, title);
  headerItem()->setText(1, fileName);
}

void TFileList::fill(QTreeWidgetItem& item, const FileListRow& row) const {
  const std::array<const QString*, kColumns> texts{&row.title, &row.fileName, &row.length, &row.archive, &row.module};
  for (int column = 0; column < kColumns; ++column)
    item.setText(column, *texts[column]);
  item.setIcon(0, row.hasWrd ? wrdIcon_ : QIcon());
  item.setData(0, Qt::UserRole, row.hasWrd);
}

void TFileList::setRows(const std::vector<FileListRow>& rows) {
  const int selected = selectedRow();
  const QSignalBlocker quiet(this);
  // Reusing the items keeps a refresh of a long list cheap.
  while (topLevelItemCount() > static_cast<int>(rows.size()))
    delete takeTopLevelItem(topLevelItemCount() - 1);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    QTreeWidgetItem* item = topLevelItem(i);
    if (!item) {
      item = new QTreeWidgetItem;
      addTopLevelItem(item);
    }
    fill(*item, rows[static_cast<std::size_t>(i)]);
  }
  clearSelection();
  if (selected >= 0 && selected < topLevelItemCount()) topLevelItem(selected)->setSelected(true);
}

void TFileList::updateRow(int position, const FileListRow& row) {
  if (QTreeWidgetItem* item = topLevelItem(position)) fill(*item, row);
}

FileListRow TFileList::rowAt(int position) const {
  FileListRow row;
  if (const QTreeWidgetItem* item = topLevelItem(position)) {
    std::array<QString*, kColumns> texts{&row.title, &row.fileName, &row.length, &row.archive, &row.module};
    for (int column = 0; column < kColumns; ++column)
      *texts[column] = item->text(column);
    row.hasWrd = item->data(0, Qt::UserRole).toBool();
  }
  return row;
}

void TFileList::showRow(int position) {
  const QSignalBlocker quiet(this);
  clearSelection();
  QTreeWidgetItem* item = topLevelItem(position);
  if (!item) return;
  item->setSelected(true);
  setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
  scrollToItem(item);
}

int TFileList::selectedRow() const {
  const auto items = selectedItems();
  return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

std::array<int, TFileList::kColumns> TFileList::columnWidths() const {
  std::array<int, kColumns> widths{};
  for (int column = 0; column < kColumns; ++column)
    widths[static_cast<std::size_t>(column)] = columnWidth(column);
  return widths;
}

void TFileList::setColumnWidths(const std::array<int, kColumns>& widths) {
  for (int column = 0; column < kColumns; ++column) {
    const int width = widths[static_cast<std::size_t>(column)];
    setColumnWidth(column, width > 0 ? width : kDefaultWidths[static_cast<std::size_t>(column)]);
  }
}

void TFileList::setFileNameColumnShown(bool shown) {
  setColumnHidden(1, !shown);
}

void TFileList::dragEnterEvent(QDragEnterEvent* event) {
  if (carriesFiles(event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TFileList::dragMoveEvent(QDragMoveEvent* event) {
  if (carriesFiles(event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TFileList::dropEvent(QDropEvent* event) {
  if (!carriesFiles(event->mimeData())) return event->ignore();
  event->acceptProposedAction();
  emit filesDropped(localPaths(event->mimeData()->urls()));
}

}  // namespace volta::shell
