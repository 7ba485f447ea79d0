#include "player/shell/keys/key_dispatcher.h"

#include <QApplication>
#include <QKeyEvent>

#include "player/shell/keys/qt_keys.h"

namespace volta::shell {

namespace {

constexpr const char* kPlayerWindow = "voltaPlayerWindow";

// The role of the player's own top-level window a key went to; none for dialogs, menus and others.
std::optional<KeyDispatcher::Role> roleOf(QObject* receiver) {
  auto* widget = qobject_cast<QWidget*>(receiver);
  const QVariant role = widget ? widget->window()->property(kPlayerWindow) : QVariant();
  if (!role.isValid()) return std::nullopt;
  return static_cast<KeyDispatcher::Role>(role.toInt());
}

}  // namespace

KeyDispatcher::KeyDispatcher(QWidget& mainWindow, QObject* parent) : QObject(parent), mainWindow_(&mainWindow) {
  markPlayerWindow(mainWindow, Role::kMain);
  qApp->installEventFilter(this);
}

KeyDispatcher::~KeyDispatcher() {
  qApp->removeEventFilter(this);
}

void KeyDispatcher::markPlayerWindow(QWidget& window, Role role) {
  window.setProperty(kPlayerWindow, static_cast<int>(role));
}

std::optional<keys::Dispatched> KeyDispatcher::dispatch(keys::KeyCode code, bool mainWindowActive) const {
  const bool enabled = mainWindow_ && mainWindow_->isEnabled() && !QApplication::activeModalWidget();
  return keys::dispatchKey(table_, code, {enabled, mainWindowActive});
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event) {
  const bool override = event->type() == QEvent::ShortcutOverride;
  if (!override && event->type() != QEvent::KeyPress) return false;
  const auto role = roleOf(watched);
  if (!role) return false;
  auto& key = static_cast<QKeyEvent&>(*event);
  const auto dispatched = dispatch(keyCodeOf(key), *role == Role::kMain);
  if (!dispatched) return false;
  // Claimed before Qt's shortcuts and menu mnemonics look at it; the key press then issues the command.
  key.accept();
  if (!override) emit command(dispatched->command);
  return true;
}

}  // namespace volta::shell
