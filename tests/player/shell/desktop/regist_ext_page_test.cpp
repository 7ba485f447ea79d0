// The file types page: what it shows comes from the desktop's defaults and the settings,
// OK registers what is checked, an unchanged page leaves the desktop alone.

#include "player/shell/desktop/regist_ext_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace dt = platform::desktop;
namespace fs = std::filesystem;

class RegistExtPage : public ::testing::Test {
 protected:
  dt::FileAssociations associations() {
    return dt::FileAssociations(places_, dir_ / "volta", [this](const auto& argv, const auto& environment) {
      ++runs_;
      auto all = environment;
      all.emplace_back("XDG_CURRENT_DESKTOP", "");
      return dt::runTool(argv, all);
    });
  }

  test::TempDir dir_;
  dt::XdgPlaces places_{dir_ / "data", dir_ / "config"};
  platform::settings::SettingsStore store_{dir_ / "VOLTA.conf"};
  int runs_ = 0;
};

TEST_F(RegistExtPage, AFirstOpeningShowsNothingRegisteredAndTheDefaultDescriptions) {
  TRegistExtDialog page(kEnglish, associations());
  EXPECT_EQ(page.windowTitle(), "File extenstion");
  page.read(store_);
  EXPECT_TRUE(page.chosenTypes().empty());
  EXPECT_EQ(page.descriptions(), dt::Descriptions{});
  EXPECT_EQ(page.findChildren<QCheckBox*>().size(), dt::kFileTypes.size());
  // OK on an unchanged page runs no tool: the desktop is left as it was.
  EXPECT_TRUE(page.write(store_));
  EXPECT_EQ(runs_, 0);
  EXPECT_FALSE(fs::exists(places_.dataHome));
  EXPECT_EQ(store_.readString("Software\\QZ\\VOLTA\\FileTypes", "List", ""), "VOLTA List File");
}

TEST_F(RegistExtPage, CheckedTypesAndDescriptionsRoundTripThroughTheDesktop) {
  if (!test::commandsPresent({"xdg-mime", "update-mime-database", "update-desktop-database"}))
    GTEST_SKIP() << "the XDG tools are not installed";
  {
    TRegistExtDialog page(kJapanese, associations());
    page.read(store_);
    page.findChild<QCheckBox*>("audio/x-rcp")->setChecked(true);
    page.findChild<QCheckBox*>("application/x-volta-wrd")->setChecked(true);
    page.findChildren<QLineEdit*>()[1]->setText("Song lists");
    ASSERT_TRUE(page.write(store_)) << page.error();
  }
  EXPECT_NE(test::readText(places_.dataHome / "mime" / "packages" / "volta.xml").find("<comment>Song lists</comment>"),
            std::string::npos);
  TRegistExtDialog reopened(kEnglish, associations());
  reopened.read(store_);
  EXPECT_EQ(reopened.chosenTypes(), (std::set<std::string>{"audio/x-rcp", "application/x-volta-wrd"}));
  EXPECT_EQ(reopened.descriptions().list, "Song lists");

  ASSERT_TRUE(reopened.removeAll()) << reopened.error();
  EXPECT_TRUE(reopened.findChild<QLabel*>("problem")->text().isEmpty());
  EXPECT_TRUE(reopened.chosenTypes().empty());
  EXPECT_FALSE(fs::exists(places_.dataHome / "mime" / "packages" / "volta.xml"));
  EXPECT_FALSE(fs::exists(places_.dataHome / "applications" / "volta.desktop"));
  TRegistExtDialog third(kEnglish, associations());
  third.read(store_);
  EXPECT_TRUE(third.chosenTypes().empty());
}

TEST_F(RegistExtPage, AFailingToolMakesOkFailWithTheReason) {
  TRegistExtDialog page(kEnglish, dt::FileAssociations(places_, "/v", [](const auto&, const auto&) { return false; }));
  page.read(store_);
  page.findChild<QCheckBox*>("audio/midi")->setChecked(true);
  EXPECT_FALSE(page.write(store_));
  EXPECT_NE(page.error().find("update-mime-database"), std::string::npos) << page.error();
  // The page says so itself.
  EXPECT_TRUE(page.findChild<QLabel*>("problem")->text().contains("update-mime-database"));
}

}  // namespace
}  // namespace volta::shell
