#include "player/shell/panel/smfk_config_page.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;

TEST(SmfkConfigPage, ReadsAndWritesTheFolder) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  TSMFKConfigDialog page(kEnglish);
  EXPECT_EQ(page.windowTitle(), "SMF Knife");
  page.read(store);
  EXPECT_EQ(page.folder()->text(), "");  // the default

  QString offered;
  page.setFolderPrompt([&offered](const QString& current) {
    offered = current;
    return QStringLiteral("/home/user/knife rules");
  });
  page.chooseFolder();
  ASSERT_TRUE(page.write(store));
  EXPECT_EQ(store.readString(settings::kMainKey, "SMFKFolder", "?"), "/home/user/knife rules");

  // The next opening shows the stored folder; a cancelled folder dialog keeps it.
  TSMFKConfigDialog again(kJapanese);
  EXPECT_EQ(again.windowTitle(), "SMFナイフ");
  again.read(store);
  again.setFolderPrompt([&offered](const QString& current) {
    offered = current;
    return QString();
  });
  again.chooseFolder();
  EXPECT_EQ(offered, "/home/user/knife rules");
  EXPECT_EQ(again.folder()->text(), "/home/user/knife rules");
}

TEST(SmfkConfigPage, ATypedFolderIsStoredAsItsBytes) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  store.writeString(settings::kMainKey, "SMFKFolder", "/old");
  TSMFKConfigDialog page(kEnglish);
  page.read(store);
  EXPECT_EQ(page.folder()->text(), "/old");
  page.folder()->setText(QString::fromUtf8("/ナイフ"));
  ASSERT_TRUE(page.write(store));
  EXPECT_EQ(store.readString(settings::kMainKey, "SMFKFolder", ""), "/ナイフ");
}

}  // namespace
}  // namespace volta::shell
