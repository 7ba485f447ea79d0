#pragma once
// The icon in the desktop's notification area (the status-notifier tray on Linux), with
// the tip "VOLTA Player": a left click opens its menu at the cursor, a double click
// brings the main window back, a right click plays or pauses. Each ends in a command.
// When the desktop has no tray the icon is left out, and that is told once.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>

class QMenu;

namespace volta::shell {

// The program's icon, drawn: a lit LCD panel with a note.
QIcon programIcon();

class TTrayIcon : public QObject {
  Q_OBJECT

 public:
  explicit TTrayIcon(QObject* parent = nullptr);
  ~TTrayIcon() override;

  // The setting "TrayIcon": shows the icon when on and none is shown, removes it when off.
  void apply(bool on);
  bool shown() const;
  // The icon's menu at a point of the screen; nothing while it is open already.
  void popupMenu(const QPoint& at);
  QMenu& menu() const { return *menu_; }
  // What a mouse action on the icon does.
  void activate(QSystemTrayIcon::ActivationReason reason);

 signals:
  void command(int id);
  // The icon was wanted and the desktop has no tray; sent once.
  void unavailable();

 private:
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  bool toldUnavailable_ = false;
};

}  // namespace volta::shell
