#include "player/shell/keys/tray_icon.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <utility>

#include "player/core/keys/tray_menu.h"

namespace volta::shell {

namespace {

keys::TrayMouse mouseOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return keys::TrayMouse::kLeftUp;
    case QSystemTrayIcon::DoubleClick:
      return keys::TrayMouse::kLeftDoubleClick;
    case QSystemTrayIcon::Context:
      return keys::TrayMouse::kRightUp;
    default:
      return keys::TrayMouse::kOther;
  }
}

QPixmap drawnIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 16.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x20, 0x20));
  painter.drawRoundedRect(QRectF(0, 0, size, size), 2 * unit, 2 * unit);
  painter.setBrush(QColor(0xFF, 0xA0, 0x20));  // the panel's orange back light
  painter.drawRect(QRectF(2 * unit, 2 * unit, 12 * unit, 12 * unit));
  painter.setBrush(QColor(0x30, 0x18, 0x00));
  painter.drawEllipse(QRectF(4 * unit, 9 * unit, 4.5 * unit, 3.5 * unit));
  painter.drawRect(QRectF(7.5 * unit, 3.5 * unit, 1.2 * unit, 7.5 * unit));
  painter.drawRect(QRectF(7.5 * unit, 3.5 * unit, 4 * unit, 1.5 * unit));
  return pixmap;
}

}  // namespace

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 32, 64})
    icon.addPixmap(drawnIcon(size));
  return icon;
}

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent), menu_(std::make_unique<QMenu>()) {
  for (const keys::TrayMenuItem& item : keys::trayMenu()) {
    if (item.command == 0) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size())));
    connect(action, &QAction::triggered, this, [this, id = item.command] { emit command(id); });
  }
}

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::apply(bool on) {
  if (!on) return icon_.reset();
  if (icon_) return;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!std::exchange(toldUnavailable_, true)) emit unavailable();
    return;
  }
  icon_ = std::make_unique<QSystemTrayIcon>(programIcon());
  icon_->setToolTip(QString::fromUtf8(keys::kTrayTip.data(), static_cast<qsizetype>(keys::kTrayTip.size())));
  connect(icon_.get(), &QSystemTrayIcon::activated, this, &TTrayIcon::activate);
  icon_->show();
}

bool TTrayIcon::shown() const {
  return icon_ != nullptr;
}

void TTrayIcon::popupMenu(const QPoint& at) {
  if (menu_->isVisible()) return;
  menu_->popup(at);
}

void TTrayIcon::activate(QSystemTrayIcon::ActivationReason reason) {
  if (const auto id = keys::trayCommand(mouseOf(reason))) emit command(*id);
}

}  // namespace volta::shell
