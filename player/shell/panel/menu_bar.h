#pragma once
// The main window's menu bar in Japanese or English, built from the menu data. Every
// command item is a QAction whose data() is its command identifier; the album and
// history sub-menus are rebuilt each time they open.

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "player/shell/panel/language.h"

class QAction;
class QMenu;
class QMenuBar;

namespace volta::shell {

struct MenuHooks {
  std::function<void(int)> onCommand;
  std::function<std::vector<std::string>()> albumLists;  // full paths of the album's list files
  std::function<std::vector<std::string>()> history;     // History0..9, empty ones included
};

class MenuActions {
 public:
  QAction* action(int command) const;
  void setChecked(int command, bool checked) const;
  void setEnabled(int command, bool enabled) const;
  const std::map<int, QAction*>& all() const { return actions_; }

 private:
  friend MenuActions buildMenuBar(QMenuBar* bar, int language, const MenuHooks& hooks);
  std::map<int, QAction*> actions_;
};

// Clears the bar and fills it with the menus of a language (0 Japanese, 1 English).
MenuActions buildMenuBar(QMenuBar* bar, int language, const MenuHooks& hooks);

}  // namespace volta::shell
