#pragma once
// Reordering the rows of an editing dialog's list.

class QListWidget;

namespace volta::shell {

// Moves the current row `step` places (-1 up, 1 down) and keeps it current; nothing
// happens without a current row or past either end.
void moveCurrentRow(QListWidget& list, int step);

}  // namespace volta::shell
