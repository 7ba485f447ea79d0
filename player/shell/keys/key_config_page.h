#pragma once
// The "Key configuration" page: every record of the key table by its command's name,
// and two hot-key fields for the keys of the selected record. Choosing another record
// keeps the fields' keys in the record that was selected; write() keeps the last edit
// and stores every record's two keys.

#include <QLineEdit>
#include <QWidget>

#include "platform/settings/settings_store.h"
#include "player/core/keys/key_table.h"

class QListWidget;

namespace volta::shell {

// A field that takes the next key pressed in it, with its modifiers; Backspace or Delete
// alone clears it.
class THotKeyEdit : public QLineEdit {
  Q_OBJECT

 public:
  THotKeyEdit(int language, QWidget* parent = nullptr);
  void setKey(keys::KeyCode code);
  keys::KeyCode key() const { return key_; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int language_;
  keys::KeyCode key_ = 0;
};

class TKeyConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TKeyConfigDialog(int language, QWidget* parent = nullptr);

  void read(const platform::settings::SettingsStore& store);
  // False when the settings could not be written.
  bool write(platform::settings::SettingsStore& store) const;

  // The table with the edit of the selected record.
  keys::KeyTable table() const;
  void setTable(const keys::KeyTable& table);
  void select(int record);
  int selected() const;
  THotKeyEdit& key1() const { return *key1_; }
  THotKeyEdit& key2() const { return *key2_; }
  void restoreDefault();

 private:
  void keepEdit();
  void showRecord(int record);

  int language_;
  keys::KeyTable table_ = keys::KeyTable::defaults();
  int shown_ = -1;  // the record whose keys the fields show
  QListWidget* list_ = nullptr;
  THotKeyEdit* key1_ = nullptr;
  THotKeyEdit* key2_ = nullptr;
};

}  // namespace volta::shell
