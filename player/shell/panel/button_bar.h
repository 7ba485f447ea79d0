#pragma once
// The main window's row of buttons. Which commands it holds comes from the
// "NewButtons" setting; pictures are drawn by code, and several switch to a second
// picture with the playing state.

#include <QPixmap>
#include <QToolBar>
#include <utility>
#include <vector>

#include "player/shell/panel/button_row.h"
#include "player/shell/panel/language.h"

namespace volta::shell {

class ButtonBar : public QToolBar {
  Q_OBJECT

 public:
  explicit ButtonBar(QWidget* parent = nullptr);

  // Replaces the buttons; identifiers that name no command are left out.
  void setButtons(const std::vector<int>& commands, int language);
  std::vector<int> buttons() const;
  // The first button of a command, or null.
  QAction* action(int command) const;
  void setState(const ButtonState& state);

  static constexpr int kPictureWidth = 24;
  static constexpr int kPictureHeight = 22;
  // A command's picture, normal or in its second (active) form.
  static QPixmap picture(int command, bool active);

 signals:
  void command(int id);

 private:
  std::vector<std::pair<int, QAction*>> actions_;
  ButtonState state_;
};

}  // namespace volta::shell
