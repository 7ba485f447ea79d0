#include "player/shell/keys/key_dispatcher.h"

#include <QApplication>
#include <QKeyEvent>

#include "player/shell/keys/qt_keys.h"

namespace volta::shell {

namespace {

constexpr const char* kPlayerWindow = "voltaPlayerWindow";

// The player's own top-level window a key went to; null for dialogs, menus and others.
QWidget* playerWindowOf(QObject* receiver) {
  auto* widget = qobject_cast<QWidget*>(receiver);
  QWidget* top = widget ? widget->window() : nullptr;
  return top && top->property(kPlayerWindow).toBool() ? top : nullptr;
}

}  // namespace

KeyDispatcher::KeyDispatcher(QWidget& mainWindow, QObject* parent) : QObject(parent), mainWindow_(&mainWindow) {
  markPlayerWindow(mainWindow);
  qApp->installEventFilter(this);
}

KeyDispatcher::~KeyDispatcher() {
  qApp->removeEventFilter(this);
}

void KeyDispatcher::markPlayerWindow(QWidget& window) {
  window.setProperty(kPlayerWindow, true);
}

std::optional<keys::Dispatched> KeyDispatcher::dispatch(keys::KeyCode code, bool mainWindowActive) const {
  const bool enabled = mainWindow_ && mainWindow_->isEnabled() && !QApplication::activeModalWidget();
  return keys::dispatchKey(table_, code, {enabled, mainWindowActive});
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event) {
  const bool override = event->type() == QEvent::ShortcutOverride;
  if (!override && event->type() != QEvent::KeyPress) return false;
  QWidget* window = playerWindowOf(watched);
  if (!window) return false;
  auto& key = static_cast<QKeyEvent&>(*event);
  const auto dispatched = dispatch(keyCodeOf(key), window == mainWindow_);
  if (!dispatched) return false;
  // Claimed before Qt's shortcuts and menu mnemonics look at it; the key press then issues the command.
  key.accept();
  if (!override) emit command(dispatched->command);
  return true;
}

}  // namespace volta::shell
