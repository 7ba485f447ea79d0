#pragma once
// The list editing dialog: the play list's copy on the left, the songs and folders of
// the browser's current folder on the right, and the buttons that add, insert, search,
// move and delete. It presents the Qt-free rules of player/core/listedit; the caller
// takes the entries on OK.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/core/app/frame_view.h"
#include "player/core/listedit/folder_browser.h"
#include "player/core/listedit/list_editor.h"
#include "player/shell/panel/language.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace volta::shell {

class ProgressSink;
class TProgressDialog;

class TListEditDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for a folder to go to (starting at the current one); empty for none.
  using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;

  TListEditDialog(const app::ListEditRequest& request, Language language, QWidget* parent = nullptr);
  ~TListEditDialog() override;

  // The edited entries, in order.
  const std::vector<core::MIDIFile>& entries() const { return editor_.entries(); }
  const core::FolderBrowser& browser() const { return browser_; }
  void setFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }
  // Chooses a row of the files list, as a double click does: a folder is entered, a
  // song added.
  void chooseFileRow(int row);

  QTreeWidget& playList() const { return *playList_; }
  QListWidget& files() const { return *files_; }
  QPushButton& addButton() const { return *add_; }
  QPushButton& insertButton() const { return *insert_; }
  QPushButton& allButton() const { return *all_; }
  QPushButton& upButton() const { return *up_; }
  QPushButton& downButton() const { return *down_; }
  QPushButton& deleteButton() const { return *delete_; }
  QPushButton& deleteAllButton() const { return *deleteAll_; }
  QPushButton& folderButton() const { return *folder_; }
  QCheckBox& noSubFolders() const { return *noSubFolders_; }
  QCheckBox& onlyWrd() const { return *onlyWrd_; }
  QCheckBox& exceptLzh() const { return *exceptLzh_; }
  QLabel& baseFolderLabel() const { return *base_; }
  QLabel& currentFolderLabel() const { return *current_; }
  QLabel& notice() const { return *notice_; }
  // The progress dialog of the last adding; null when there was none or it closed.
  TProgressDialog* progressDialog() const;

 private:
  void buildLayout(Language language);
  void connectControls();
  void fillPlayList(int current);
  void fillFiles();
  core::SongFilter filter() const;
  std::vector<std::string> selectedFiles() const;
  std::vector<std::size_t> selectedRows() const;
  void addSelected(bool insert);
  void addAll();
  void move(bool up);
  void removeSelected();
  void chooseFolder();
  ProgressSink& beginProgress();
  void updateButtons();

  core::ListEditor editor_;
  core::FolderBrowser browser_;
  core::EntryReader& reader_;
  bool waveEnabled_;
  Language language_;
  std::vector<core::BrowserItem> items_;  // the files list's rows
  FolderChooser chooser_;
  std::unique_ptr<ProgressSink> progress_;

  QTreeWidget* playList_;
  QListWidget* files_;
  QPushButton *add_, *insert_, *all_, *up_, *down_, *delete_, *deleteAll_, *folder_;
  QCheckBox *noSubFolders_, *onlyWrd_, *exceptLzh_;
  QLabel *base_, *current_, *notice_;
};

}  // namespace volta::shell
