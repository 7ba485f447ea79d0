#include "player/shell/panel/list_moves.h"

#include <QListWidget>

namespace volta::shell {

void moveCurrentRow(QListWidget& list, int step) {
  const int from = list.currentRow();
  const int to = from + step;
  if (from < 0 || to < 0 || to >= list.count()) return;
  list.insertItem(to, list.takeItem(from));
  list.setCurrentRow(to);
}

}  // namespace volta::shell
