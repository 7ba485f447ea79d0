#pragma once
// Looks at every key going down in one of the player's windows before the window does,
// and turns the keys of the key table and of the fixed accelerators into commands.
// Dialogs and menus keep their keys; a key that is no command goes on as a key.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "player/core/keys/key_dispatch.h"
#include "player/core/keys/key_table.h"

namespace volta::shell {

class KeyDispatcher : public QObject {
  Q_OBJECT

 public:
  // Windows marked with markPlayerWindow() take keys; `mainWindow` is the one of the
  // main window's own accelerators. Installs itself on the application.
  explicit KeyDispatcher(QWidget& mainWindow, QObject* parent = nullptr);
  ~KeyDispatcher() override;

  // A window of the player takes the key table and the second accelerators; one that stands
  // for the main window (the full-screen WRD screen) takes the main window's too.
  enum class Role { kPane = 1, kMain = 2 };
  static void markPlayerWindow(QWidget& window, Role role = Role::kPane);

  // The live table; replaced when the key settings change.
  void setTable(keys::KeyTable table) { table_ = std::move(table); }
  const keys::KeyTable& table() const { return table_; }
  // Whether a key of the code would be a command in the main window now.
  std::optional<keys::Dispatched> dispatch(keys::KeyCode code, bool mainWindowActive) const;

 signals:
  void command(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> mainWindow_;
  keys::KeyTable table_ = keys::KeyTable::defaults();
};

}  // namespace volta::shell
