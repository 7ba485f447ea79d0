#include "player/shell/panel/button_config_page.h"

#include <gtest/gtest.h>

#include <QListWidget>

#include "player/shell/panel/button_row.h"
#include "player/shell/panel/commands.h"
#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;

// The list of commands to choose from is the first list of the page.
QListWidget* availableList(TButtonConfigDialog& page) {
  return page.findChildren<QListWidget*>()[0];
}
QListWidget* rowList(TButtonConfigDialog& page) {
  return page.findChildren<QListWidget*>()[1];
}

void chooseAvailable(TButtonConfigDialog& page, int command) {
  QListWidget* list = availableList(page);
  for (int index = 0; index < list->count(); ++index) {
    if (list->item(index)->data(Qt::UserRole).toInt() == command) list->setCurrentRow(index);
  }
}

TEST(ButtonConfigPage, EditsTheRowAndStoresIt) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  TButtonConfigDialog page(kEnglish);
  EXPECT_EQ(page.windowTitle(), "Buttons");
  page.read(store);
  EXPECT_EQ(page.row(), defaultButtonRow());

  page.setRow({cmd::kStop, cmd::kPlay, 4242, cmd::kNext});
  EXPECT_EQ(page.row(), (std::vector<int>{cmd::kStop, cmd::kPlay, cmd::kNext}));
  chooseAvailable(page, cmd::kRepeat);
  page.addSelected();
  EXPECT_EQ(page.row().back(), cmd::kRepeat);
  rowList(page)->setCurrentRow(0);
  page.moveSelected(1);
  EXPECT_EQ(page.row(), (std::vector<int>{cmd::kPlay, cmd::kStop, cmd::kNext, cmd::kRepeat}));
  page.moveSelected(-1);
  page.moveSelected(-1);  // already at the top
  EXPECT_EQ(page.row().front(), cmd::kStop);
  rowList(page)->setCurrentRow(2);
  page.removeSelected();
  EXPECT_EQ(page.row(), (std::vector<int>{cmd::kStop, cmd::kPlay, cmd::kRepeat}));

  ASSERT_TRUE(page.write(store));
  EXPECT_EQ(readButtonRow(store), (std::vector<int>{cmd::kStop, cmd::kPlay, cmd::kRepeat}));
  page.restoreDefault();
  EXPECT_EQ(page.row(), defaultButtonRow());
}

TEST(ButtonConfigPage, TheRowHoldsAtMostThirtyTwoButtons) {
  TButtonConfigDialog page(kJapanese);
  EXPECT_EQ(page.windowTitle(), "ボタンカスタマイズ");
  page.setRow(std::vector<int>(40, cmd::kPlay));
  EXPECT_EQ(page.row().size(), kMaxButtons);
  chooseAvailable(page, cmd::kStop);
  page.addSelected();
  EXPECT_EQ(page.row().size(), kMaxButtons);
  EXPECT_EQ(page.row().back(), cmd::kPlay);
}

}  // namespace
}  // namespace volta::shell
