#include "player/shell/panel/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"
#include "player/shell/panel/menu_layout.h"

namespace volta::shell {
namespace {

using Kind = MenuEntry::Kind;

QString qText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* addCommand(QMenu* menu, int id, const QString& text, const MenuHooks& hooks) {
  QAction* action = menu->addAction(text);
  action->setData(id);
  if (const CommandText* command = findCommand(id); command && command->checkable) action->setCheckable(true);
  QObject::connect(action, &QAction::triggered, menu, [onCommand = hooks.onCommand, id] {
    if (onCommand) onCommand(id);
  });
  return action;
}

// A sub-menu whose items are made anew each time it opens; until then it holds the placeholder.
void addDynamicMenu(QMenu* menu, std::function<std::vector<DynamicItem>()> items, const MenuHooks& hooks) {
  menu->addAction(qText(commandText(cmd::kAlbumPlaceholder, kEnglish)))->setData(cmd::kAlbumPlaceholder);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, items = std::move(items), hooks] {
    menu->clear();
    for (const DynamicItem& item : items())
      addCommand(menu, item.id, QString::fromStdString(item.text), hooks);
  });
}

std::vector<std::string> call(const std::function<std::vector<std::string>()>& source) {
  return source ? source() : std::vector<std::string>{};
}

void fill(QMenu* menu, const std::vector<MenuEntry>& entries, int language, const MenuHooks& hooks,
          std::map<int, QAction*>& actions) {
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case Kind::kCommand:
        actions[entry.id] = addCommand(menu, entry.id, qText(menuText(entry, language)), hooks);
        break;
      case Kind::kSeparator:
        menu->addSeparator();
        break;
      case Kind::kSubMenu:
        fill(menu->addMenu(qText(menuText(entry, language))), entry.children, language, hooks, actions);
        break;
      case Kind::kAlbum:
        addDynamicMenu(
            menu, [hooks, language] { return albumItems(call(hooks.albumLists), language); }, hooks);
        break;
      case Kind::kHistory:
        addDynamicMenu(
            menu->addMenu(qText(menuText(entry, language))), [hooks] { return historyItems(call(hooks.history)); },
            hooks);
        break;
    }
  }
}

}  // namespace

QAction* MenuActions::action(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void MenuActions::setChecked(int command, bool checked) const {
  if (QAction* found = action(command)) found->setChecked(checked);
}

void MenuActions::setEnabled(int command, bool enabled) const {
  if (QAction* found = action(command)) found->setEnabled(enabled);
}

MenuActions buildMenuBar(QMenuBar* bar, int language, const MenuHooks& hooks) {
  // The old menus go once control returns to the event loop: the rebuild may run
  // inside one of their own items' signals (the language command).
  for (QAction* action : bar->actions()) {
    if (QMenu* menu = action->menu()) menu->deleteLater();
  }
  bar->clear();
  MenuActions result;
  for (const MenuEntry& top : mainMenu()) {
    fill(bar->addMenu(qText(menuText(top, language))), top.children, language, hooks, result.actions_);
  }
  return result;
}

}  // namespace volta::shell
