#include "player/shell/panel/button_bar.h"

#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"

namespace volta::shell {
namespace {

constexpr int kW = ButtonBar::kPictureWidth;
constexpr int kH = ButtonBar::kPictureHeight;
const QColor kInk(32, 32, 32);
// Second pictures: playing green, speed orange, selecting blue.
const QColor kPlaying(0, 160, 60);
const QColor kSpeed(230, 120, 0);
const QColor kSelecting(40, 90, 220);

void triangle(QPainter& painter, int left, int width, bool pointsRight, const QColor& colour) {
  const int top = 5, bottom = kH - 5, middle = kH / 2;
  QPolygon shape;
  if (pointsRight) {
    shape << QPoint(left, top) << QPoint(left + width, middle) << QPoint(left, bottom);
  } else {
    shape << QPoint(left + width, top) << QPoint(left, middle) << QPoint(left + width, bottom);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPolygon(shape);
}

void bar(QPainter& painter, int left, int width, const QColor& colour) {
  painter.fillRect(QRect(left, 5, width, kH - 10), colour);
}

void label(QPainter& painter, const QString& text, const QColor& colour) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(text.size() > 3 ? 8 : 9);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawRect(QRect(1, 3, kW - 3, kH - 7));
  painter.drawText(QRect(1, 3, kW - 2, kH - 6), Qt::AlignCenter, text);
}

void fullScreen(QPainter& painter, const QColor& colour) {
  painter.setPen(QPen(colour, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(4, 4, kW - 9, kH - 9));
  painter.fillRect(QRect(8, 8, kW - 16, kH - 16), colour);
}

void monitorBars(QPainter& painter, const QColor& colour) {
  constexpr int kHeights[] = {6, 11, 8, 14, 4};
  for (int index = 0; index < 5; ++index) {
    painter.fillRect(QRect(3 + index * 4, kH - 4 - kHeights[index], 3, kHeights[index]), colour);
  }
}

void mini(QPainter& painter, const QColor& colour) {
  painter.setPen(QPen(colour, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(3, 4, kW - 7, kH - 9));
  painter.fillRect(QRect(6, kH - 9, kW - 13, 3), colour);
}

// A short name for commands without a picture of their own.
QString shortName(int command) {
  return QString::fromStdString(plainCommandName(command, kEnglish)).left(4);
}

void drawPicture(QPainter& painter, int command, const QColor& colour) {
  using namespace cmd;
  switch (command) {
    case kStop:
      painter.fillRect(QRect(6, 5, kW - 12, kH - 10), colour);
      break;
    case kPause:
      bar(painter, 7, 4, colour);
      bar(painter, 13, 4, colour);
      break;
    case kPlay:
      triangle(painter, 7, 11, true, colour);
      break;
    case kSlow:
      triangle(painter, 4, 8, true, colour);
      bar(painter, 15, 2, colour);
      bar(painter, 19, 2, colour);
      break;
    case kFast:
      triangle(painter, 3, 9, true, colour);
      triangle(painter, 12, 9, true, colour);
      break;
    case kPrevious:
      bar(painter, 4, 3, colour);
      triangle(painter, 8, 11, false, colour);
      break;
    case kNext:
      triangle(painter, 5, 11, true, colour);
      bar(painter, 17, 3, colour);
      break;
    case kFullScreen:
      fullScreen(painter, colour);
      break;
    case kPaneWrd:
      label(painter, QStringLiteral("WRD"), colour);
      break;
    case kPaneDocument:
      label(painter, QStringLiteral("DOC"), colour);
      break;
    case kPaneList:
      label(painter, QStringLiteral("LIST"), colour);
      break;
    case kPaneMonitor:
      monitorBars(painter, colour);
      break;
    case kMini:
      mini(painter, colour);
      break;
    default:
      label(painter, shortName(command), colour);
      break;
  }
}

QColor activeColour(int command) {
  switch (command) {
    case cmd::kPlay:
      return kPlaying;
    case cmd::kFast:
    case cmd::kSlow:
      return kSpeed;
    default:
      return kSelecting;
  }
}

}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QToolBar(parent) {
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(kPictureWidth, kPictureHeight));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QPixmap ButtonBar::picture(int command, bool active) {
  QPixmap pixmap(kPictureWidth, kPictureHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  drawPicture(painter, command, active ? activeColour(command) : kInk);
  return pixmap;
}

void ButtonBar::setButtons(const std::vector<int>& commands, int language) {
  // Deleted later: the change may come from one of these buttons' own signal.
  for (const auto& [id, button] : actions_)
    button->deleteLater();
  clear();
  actions_.clear();
  for (int id : commands) {
    if (!findCommand(id)) continue;
    QAction* button =
        addAction(QIcon(picture(id, buttonActive(id, state_))), QString::fromStdString(plainCommandName(id, language)));
    button->setData(id);
    button->setEnabled(buttonEnabled(id, state_));
    connect(button, &QAction::triggered, this, [this, id] { emit command(id); });
    actions_.emplace_back(id, button);
  }
}

std::vector<int> ButtonBar::buttons() const {
  std::vector<int> ids;
  for (const auto& [id, button] : actions_)
    ids.push_back(id);
  return ids;
}

QAction* ButtonBar::action(int command) const {
  const auto found = std::ranges::find(actions_, command, &std::pair<int, QAction*>::first);
  return found == actions_.end() ? nullptr : found->second;
}

void ButtonBar::setState(const ButtonState& state) {
  for (const auto& [id, button] : actions_) {
    if (buttonActive(id, state) != buttonActive(id, state_))
      button->setIcon(QIcon(picture(id, buttonActive(id, state))));
    button->setEnabled(buttonEnabled(id, state));
  }
  state_ = state;
}

}  // namespace volta::shell
