// Every value of the general pages through its sheet: widgets set, OK pressed, the file
// read, the sheet opened again and shown the same.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include "player/core/app/command_ids.h"
#include "player/monitor/back_light.h"
#include "player/shell/panel/button_config_page.h"
#include "player/shell/panel/button_row.h"
#include "player/shell/panel/language.h"
#include "player/shell/panel/liquid_config_page.h"
#include "player/shell/settings/configuration_sheets.h"
#include "player/shell/settings/doc_config_page.h"
#include "player/shell/settings/list_config_page.h"
#include "player/shell/settings/page_widgets.h"
#include "player/shell/settings/window_config_page.h"
#include "player/shell/settings/wrd_config_page.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;
using settings::kMainKey;

template <typename Page>
Page* pageOf(const TPropertySheet& sheet) {
  for (int index = 0; index < sheet.pageCount(); ++index)
    if (auto* page = qobject_cast<Page*>(sheet.page(index))) return page;
  return nullptr;
}

class SheetTest : public ::testing::Test {
 protected:
  std::unique_ptr<TPropertySheet> open(int command, int language = kEnglish) {
    auto sheet = makeConfigurationSheet(command, language, store_);
    sheet->show();
    return sheet;
  }
  std::unique_ptr<TPropertySheet> openWindowSheet() { return open(app::cmd::kWindowConfiguration); }
  // What a program reading the file afresh finds.
  settings::SettingsStore file() const { return settings::SettingsStore(store_.path()); }

  test::TempDir dir_;
  settings::SettingsStore store_{dir_ / "VOLTA.conf"};
};

TEST_F(SheetTest, TheSheetsHoldTheirPagesInOrder) {
  const auto window = open(app::cmd::kWindowConfiguration);
  EXPECT_EQ(window->windowTitle(), "Window Configuration");
  QStringList titles;
  for (int index = 0; index < window->tabs()->count(); ++index)
    titles << window->tabs()->tabText(index);
  EXPECT_EQ(titles, (QStringList{"Window, other", "List", "Document", "WRD", "Like liquid", "Buttons"}));
  const auto general = open(app::cmd::kConfiguration, kJapanese);
  EXPECT_EQ(general->windowTitle(), "Configuration");
  EXPECT_EQ(general->tabs()->tabText(0), "ウィンドウ設定");
  EXPECT_EQ(makeConfigurationSheet(app::cmd::kMidiSetting, kEnglish, store_), nullptr);
}

TEST_F(SheetTest, CancelWritesNothing) {
  auto sheet = openWindowSheet();
  pageOf<TListConfigDialog>(*sheet)->spaceCut()->setChecked(true);
  sheet->reject();
  EXPECT_FALSE(file().contains(kMainKey, "SpaceCut"));
}

TEST_F(SheetTest, WindowPageValuesComeBack) {
  auto sheet = openWindowSheet();
  QSignalSpy written(sheet.get(), &TPropertySheet::written);
  auto* page = pageOf<TWindowConfigDialog>(*sheet);
  ASSERT_NE(page, nullptr);
  page->paneBox(1)->setChecked(true);
  page->paneBox(4)->setChecked(true);
  page->priority()->setValue(0);
  page->miniChoice(0)->setChecked(true);
  page->miniAlwaysTop()->setChecked(true);
  page->autoDropPlay()->setChecked(false);
  page->ddNoRead()->setChecked(true);
  page->trayIcon()->setChecked(false);
  page->idleNoAct()->setChecked(true);
  const WindowValues chosen = page->values();
  sheet->accept();
  EXPECT_EQ(written.count(), 1);
  EXPECT_EQ(sheet->result(), QDialog::Accepted);

  const auto stored = file();
  EXPECT_EQ(stored.readBinary(kMainKey, "FrameMode", {}), (std::vector<std::uint8_t>{0, 1, 0, 0, 1}));
  EXPECT_EQ(stored.readInt(kMainKey, "PriorityLevel", 9), -2);
  EXPECT_EQ(stored.readInt(kMainKey, "Minimize", 9), 0);
  EXPECT_EQ(stored.readInt(kMainKey, "MiniAlwaysTop", 9), 1);
  EXPECT_EQ(stored.readInt(kMainKey, "AutoDropPlay", 9), 0);
  EXPECT_EQ(stored.readInt(kMainKey, "DDNoRead", 9), 1);
  EXPECT_EQ(stored.readInt(kMainKey, "TrayIcon", 9), 0);
  EXPECT_EQ(stored.readInt(kMainKey, "IdleNoAct", 9), 1);
  EXPECT_EQ(stored.readInt(kMainKey, "IdleNoAct2", 9), 0);
  EXPECT_EQ(stored.readString(kMainKey, "ShortCut", "?"), "");

  auto again = openWindowSheet();
  EXPECT_EQ(pageOf<TWindowConfigDialog>(*again)->values(), chosen);
  EXPECT_TRUE(pageOf<TWindowConfigDialog>(*again)->paneBox(4)->isChecked());
  EXPECT_EQ(pageOf<TWindowConfigDialog>(*again)->priority()->value(), 0);
}

TEST_F(SheetTest, TheHiddenWindowValuesAreKept) {
  settings::SettingsBatch hidden;
  hidden.setInt(kMainKey, "Minimize", 2).setInt(kMainKey, "IdleNoAct2", 1).setString(kMainKey, "ShortCut", "/links");
  ASSERT_TRUE(store_.apply(hidden));
  auto sheet = openWindowSheet();
  auto* page = pageOf<TWindowConfigDialog>(*sheet);
  EXPECT_TRUE(page->miniChoice(2)->isChecked());
  EXPECT_TRUE(page->miniChoice(2)->isHidden());
  EXPECT_TRUE(page->idleNoAct2()->isHidden());
  EXPECT_TRUE(page->shortCut()->isHidden());
  sheet->accept();
  EXPECT_EQ(file().readInt(kMainKey, "Minimize", 9), 2);
  EXPECT_EQ(file().readInt(kMainKey, "IdleNoAct2", 9), 1);
  EXPECT_EQ(file().readString(kMainKey, "ShortCut", "?"), "/links");
}

TEST_F(SheetTest, PriorityLevelFiveShowsNormalAndIsLeftUntilChanged) {
  store_.writeInt(kMainKey, "PriorityLevel", 5);
  auto sheet = openWindowSheet();
  EXPECT_EQ(pageOf<TWindowConfigDialog>(*sheet)->priority()->value(), 2);
}

TEST_F(SheetTest, ListAndDocumentPageValuesComeBack) {
  auto sheet = openWindowSheet();
  auto* list = pageOf<TListConfigDialog>(*sheet);
  auto* doc = pageOf<TDocConfigDialog>(*sheet);
  EXPECT_EQ(list->font()->faceBox()->currentText(), "MS Sans Serif");
  EXPECT_EQ(doc->font()->faceBox()->currentText(), "Courier New");
  // A face that is not installed says so; an installed one does not.
  list->font()->faceBox()->setCurrentText("No Such Face");
  EXPECT_FALSE(list->font()->missingNote()->isHidden());
  list->font()->faceBox()->setCurrentIndex(0);
  EXPECT_TRUE(list->font()->missingNote()->isHidden());
  list->font()->faceBox()->setCurrentText("Some Face");
  list->font()->sizeBox()->setValue(17);
  list->spaceCut()->setChecked(true);
  list->fileName()->setChecked(false);
  doc->font()->faceBox()->setCurrentText("Other Mono");
  doc->font()->sizeBox()->setValue(20);
  doc->autoDoc()->setChecked(false);
  const ListValues listChosen = list->values();
  const DocValues docChosen = doc->values();
  sheet->accept();

  const auto stored = file();
  EXPECT_EQ(stored.readString(kMainKey, "ListFont", ""), "Some Face");
  EXPECT_EQ(stored.readInt(kMainKey, "ListFontSize", 0), 17);
  EXPECT_EQ(stored.readInt(kMainKey, "SpaceCut", 9), 1);
  EXPECT_EQ(stored.readInt(kMainKey, "ListFileName", 9), 0);
  EXPECT_EQ(stored.readString(kMainKey, "DocFont", ""), "Other Mono");
  EXPECT_EQ(stored.readInt(kMainKey, "DocFontSize", 0), 20);
  EXPECT_EQ(stored.readInt(kMainKey, "AutoDoc", 9), 0);

  auto again = openWindowSheet();
  EXPECT_EQ(pageOf<TListConfigDialog>(*again)->values(), listChosen);
  EXPECT_EQ(pageOf<TDocConfigDialog>(*again)->values(), docChosen);
}

TEST_F(SheetTest, AStoredGraphicCharacterDocumentFontShowsTheListFontDefault) {
  store_.writeString(kMainKey, "DocFont", "98GRPH");
  const auto sheet = open(app::cmd::kWindowConfiguration, kJapanese);
  EXPECT_EQ(pageOf<TDocConfigDialog>(*sheet)->font()->faceBox()->currentText(), "ＭＳ Ｐゴシック");
}

TEST_F(SheetTest, WrdPageValuesComeBack) {
  auto sheet = openWindowSheet();
  auto* page = pageOf<TWRDConfigDialog>(*sheet);
  EXPECT_EQ(page->vsync()->currentIndex(), 1);
  EXPECT_GE(page->screenModes()->count(), 1);
  for (QCheckBox* box :
       {page->autoWrd(), page->autoWrd2(), page->highSpeed(), page->noWrd(), page->line480(), page->ddChange()})
    box->setChecked(true);
  page->vsync()->setCurrentIndex(2);
  page->wrdFont()->edit()->setText("/fonts/face.hex");
  page->kanaFont()->edit()->setText("KANA.FON");
  const WrdValues chosen = page->values();
  sheet->accept();

  const auto stored = file();
  for (const char* name : {"AutoWRD", "AutoWRD2", "HighSpeedWRD", "NoWRD", "480Line", "DDChange"})
    EXPECT_EQ(stored.readInt(kMainKey, name, 9), 1) << name;
  EXPECT_EQ(stored.readInt(kMainKey, "VSYNC", 9), 2);
  EXPECT_EQ(stored.readString(kMainKey, "WRDFont", ""), "/fonts/face.hex");
  EXPECT_EQ(stored.readString(kMainKey, "WC2Font", ""), "KANA.FON");

  auto again = openWindowSheet();
  EXPECT_EQ(pageOf<TWRDConfigDialog>(*again)->values(), chosen);
}

TEST_F(SheetTest, LiquidAndButtonPageValuesComeBack) {
  auto sheet = openWindowSheet();
  auto* liquid = pageOf<TLiquidConfigDialog>(*sheet);
  auto* buttons = pageOf<TButtonConfigDialog>(*sheet);
  ASSERT_NE(liquid, nullptr);
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(liquid->meterMode(), 0);
  liquid->setSettings({monitor::kOrange, 7, true});
  liquid->setMeterMode(1);
  buttons->setRow({app::cmd::kPlay, app::cmd::kStop});
  sheet->accept();

  const auto light = monitor::readBackLightSettings(file());
  EXPECT_EQ(light.colour, monitor::kOrange);
  EXPECT_EQ(light.level, 7);
  EXPECT_TRUE(light.automatic);
  EXPECT_EQ(file().readInt(kMainKey, "LiquidMeterMode", 9), 1);
  EXPECT_EQ(readButtonRow(file()), (std::vector<int>{app::cmd::kPlay, app::cmd::kStop}));

  auto again = openWindowSheet();
  EXPECT_EQ(pageOf<TLiquidConfigDialog>(*again)->settings().level, 7);
  EXPECT_EQ(pageOf<TLiquidConfigDialog>(*again)->meterMode(), 1);
  EXPECT_EQ(pageOf<TButtonConfigDialog>(*again)->row(), (std::vector<int>{app::cmd::kPlay, app::cmd::kStop}));
}

TEST_F(SheetTest, BadStoredValuesShowTheDefaults) {
  settings::SettingsBatch bad;
  bad.setInt(kMainKey, "Minimize", 7)
      .setString(kMainKey, "AutoDropPlay", "no")
      .setInt(kMainKey, "ListFontSize", 1000)
      .setInt(kMainKey, "VSYNC", -4)
      .setInt(kMainKey, "LiquidMeterMode", 3);
  ASSERT_TRUE(store_.apply(bad));
  auto sheet = openWindowSheet();
  EXPECT_TRUE(pageOf<TWindowConfigDialog>(*sheet)->miniChoice(1)->isChecked());
  EXPECT_TRUE(pageOf<TWindowConfigDialog>(*sheet)->autoDropPlay()->isChecked());
  EXPECT_EQ(pageOf<TListConfigDialog>(*sheet)->font()->size(), 12);
  EXPECT_EQ(pageOf<TWRDConfigDialog>(*sheet)->vsync()->currentIndex(), 1);
  EXPECT_EQ(pageOf<TLiquidConfigDialog>(*sheet)->meterMode(), 0);
}

}  // namespace
}  // namespace volta::shell
