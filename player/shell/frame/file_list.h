#pragma once
// The play list's window: one row per position in play order, five columns
// (title, file name, length, archive, module), an icon for songs with a WRD
// script, and files dropped from a file manager handed on as local paths.

#include <QIcon>
#include <QStringList>
#include <QTreeWidget>
#include <array>
#include <string>
#include <vector>

namespace volta::shell {

// The texts of one row, already decoded for display.
struct FileListRow {
  QString title;
  QString fileName;
  QString length;
  QString archive;
  QString module;
  bool hasWrd = false;
};

class TFileList : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 5;
  explicit TFileList(QWidget* parent = nullptr);

  void setHeaders(const QString& title, const QString& fileName);
  // Replaces every row; the selection is kept when that row still exists.
  void setRows(const std::vector<FileListRow>& rows);
  void updateRow(int position, const FileListRow& row);
  int rowCount() const { return topLevelItemCount(); }
  FileListRow rowAt(int position) const;

  // Selects the row and scrolls it into view; -1 clears the selection.
  void showRow(int position);
  int selectedRow() const;

  std::array<int, kColumns> columnWidths() const;
  void setColumnWidths(const std::array<int, kColumns>& widths);
  // The file name column is hidden when the user asked for it ("ListFileName" 0).
  void setFileNameColumnShown(bool shown);

 signals:
  void rowChosen(int position);     // the selection moved to a row
  void rowActivated(int position);  // double click or Enter
  void filesDropped(const QStringList& paths);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void fill(QTreeWidgetItem& item, const FileListRow& row) const;

  QIcon wrdIcon_;
};

// The picture that marks songs with a WRD script.
QIcon wrdMarkIcon();
// Local paths of the dropped URLs; others (web addresses) are left out.
QStringList localPaths(const QList<QUrl>& urls);

}  // namespace volta::shell
