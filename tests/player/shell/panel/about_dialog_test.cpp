#include "player/shell/panel/about_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace volta::shell {
namespace {

TEST(AboutDialog, ShowsTheVersionAndTheLibraryLines) {
  AboutInfo info;
  info.smfKnife = LibraryVersion{2, 1, {}};
  info.engine = "voltant";
  TAboutDialog dialog(info, kEnglish);
  EXPECT_EQ(dialog.windowTitle(), "About VOLTA Player");
  ASSERT_EQ(dialog.lines().size(), 6);
  EXPECT_EQ(dialog.lines()[0], "Version 2.3 rel.11");
  EXPECT_EQ(dialog.lines()[3], "SMF Knife Ver.2.1");
  QStringList shown;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    shown << label->text();
  for (const QString& line : dialog.lines())
    EXPECT_TRUE(shown.contains(line)) << line.toStdString();
  EXPECT_TRUE(shown.contains("VOLTA Player"));
}

}  // namespace
}  // namespace volta::shell
