// The player's file types on the desktop: the package, the desktop entry, taking back only
// our own associations, and the real XDG tools on a private home.

#include "platform/desktop/file_associations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/test_support.h"

namespace volta::platform::desktop {
namespace {

namespace fs = std::filesystem;

// What a shell command prints, without the final line end.
std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
      text += buffer;
    ::pclose(pipe);
  }
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  return text;
}

TEST(FileAssociationsText, ThePackageDefinesOnlyOurOwnTypesWithTheirGlobsAndComments) {
  Descriptions descriptions;
  descriptions.list = "Lists <of> songs & more";
  const std::string xml = mimePackage(descriptions);
  EXPECT_NE(xml.find("type=\"audio/x-rcp\""), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.r36\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.g18\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.myp\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<comment>Lists &lt;of&gt; songs &amp; more</comment>"), std::string::npos);
  EXPECT_NE(xml.find("<sub-class-of type=\"audio/midi\"/>"), std::string::npos);
  // The system defines these; a user package redefining them would hide the system's comments.
  EXPECT_EQ(xml.find("<mime-type type=\"audio/midi\""), std::string::npos);
  EXPECT_EQ(xml.find("<mime-type type=\"application/x-lha\""), std::string::npos);
}

TEST(FileAssociationsText, TheExecKeyQuotesProgramsWithReservedCharacters) {
  EXPECT_EQ(execProgram("/usr/bin/volta"), "/usr/bin/volta");
  EXPECT_EQ(execProgram("/home/a b/volta"), "\"/home/a b/volta\"");
  EXPECT_EQ(execProgram("/x/$y\"z"), "\"/x/\\$y\\\"z\"");
  EXPECT_EQ(execProgram("/x/100%/volta"), "/x/100%%/volta");
  const std::string entry = desktopEntry("/opt/my player/volta", {"audio/x-rcp"});
  EXPECT_NE(entry.find("Exec=\"/opt/my player/volta\" %F\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=audio/x-rcp;\n"), std::string::npos);
  EXPECT_EQ(desktopEntry("/v", {}).find("MimeType"), std::string::npos);
}

TEST(FileAssociationsText, OnlyOurOwnDefaultsAndAssociationsAreTakenBack) {
  const std::string before =
      "[Default Applications]\n"
      "audio/midi=volta.desktop\n"
      "audio/x-rcp=other.desktop;volta.desktop;\n"
      "application/x-lha=ark.desktop\n"
      "text/plain=volta.desktop\n"
      "[Added Associations]\n"
      "audio/midi=volta.desktop;timidity.desktop;\n";
  EXPECT_EQ(defaultsNaming(before, kDesktopId), (std::set<std::string>{"audio/midi", "text/plain"}));
  const std::string after =
      withoutOwnAssociations(before, kDesktopId, {"audio/midi", "audio/x-rcp", "application/x-lha"});
  EXPECT_EQ(after,
            "[Default Applications]\n"
            "audio/x-rcp=other.desktop;\n"
            "application/x-lha=ark.desktop\n"
            "text/plain=volta.desktop\n"
            "[Added Associations]\n"
            "audio/midi=timidity.desktop;\n");
  EXPECT_EQ(withoutOwnAssociations(after, kDesktopId, {"audio/midi"}), after);
  // A default in another section or a line without a key is no association of ours.
  const std::string odd = "audio/midi=volta.desktop\n[Other]\naudio/midi=volta.desktop";
  EXPECT_EQ(withoutOwnAssociations(odd, kDesktopId, {"audio/midi"}), odd);
}

class FileAssociationsTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!volta::test::commandsPresent(
            {"xdg-mime", "update-mime-database", "update-desktop-database", "desktop-file-validate"}))
      GTEST_SKIP() << "the XDG tools are not installed";
  }
  // Runs the tools as a desktop-less session of the private home would.
  static bool runner(const std::vector<std::string>& argv,
                     const std::vector<std::pair<std::string, std::string>>& environment) {
    auto all = environment;
    all.emplace_back("XDG_CURRENT_DESKTOP", "");
    return runTool(argv, all);
  }
  std::string queryDefault(const std::string& type) const {
    return output("env -u XDG_CURRENT_DESKTOP XDG_DATA_HOME='" + places_.dataHome.string() + "' XDG_CONFIG_HOME='" +
                  places_.configHome.string() + "' xdg-mime query default " + type + " 2>/dev/null");
  }
  std::string mimeapps() const { return test::readText(places_.configHome / "mimeapps.list"); }

  test::TempDir dir_;
  XdgPlaces places_{dir_ / "data", dir_ / "config"};
  FileAssociations associations_{places_, dir_ / "bin" / "volta", runner};
};

TEST_F(FileAssociationsTools, RegisteringMakesUsTheDefaultAndRemovingLeavesNothingOfOurs) {
  // Another program owns archives already.
  fs::create_directories(places_.configHome);
  fs::create_directories(places_.dataHome / "applications");
  std::ofstream(places_.dataHome / "applications" / "ark.desktop")
      << "[Desktop Entry]\nType=Application\nName=Ark\nExec=ark %F\nMimeType=application/x-lha;\n";
  std::ofstream(places_.configHome / "mimeapps.list") << "[Default Applications]\napplication/x-lha=ark.desktop\n";

  ASSERT_TRUE(associations_.apply({"audio/x-rcp", "audio/midi", "application/x-volta-list"}, {}))
      << associations_.error();
  EXPECT_EQ(queryDefault("audio/x-rcp"), "volta.desktop");
  EXPECT_EQ(queryDefault("audio/midi"), "volta.desktop");
  EXPECT_EQ(queryDefault("application/x-volta-list"), "volta.desktop");
  EXPECT_EQ(queryDefault("application/x-lha"), "ark.desktop");
  EXPECT_EQ(associations_.registeredTypes(),
            (std::set<std::string>{"audio/x-rcp", "audio/midi", "application/x-volta-list"}));
  // The package reached the user's database, and the desktop entry passes the validator.
  EXPECT_TRUE(fs::exists(places_.dataHome / "mime" / "audio" / "x-rcp.xml"));
  EXPECT_EQ(std::system(("desktop-file-validate '" + associations_.desktopFile().string() + "'").c_str()), 0);

  // Taking one type back: the others stay ours, the desktop's cache no longer offers it.
  ASSERT_TRUE(associations_.apply({"audio/midi", "application/x-volta-list"}, {})) << associations_.error();
  EXPECT_NE(queryDefault("audio/x-rcp"), "volta.desktop");
  EXPECT_EQ(queryDefault("audio/midi"), "volta.desktop");

  ASSERT_TRUE(associations_.apply({}, {})) << associations_.error();
  for (const FileType& type : kFileTypes)
    EXPECT_NE(queryDefault(std::string(type.mimeType)), "volta.desktop") << type.mimeType;
  EXPECT_EQ(queryDefault("application/x-lha"), "ark.desktop");
  EXPECT_FALSE(fs::exists(associations_.packageFile()));
  EXPECT_FALSE(fs::exists(associations_.desktopFile()));
  EXPECT_FALSE(fs::exists(places_.dataHome / "mime" / "audio" / "x-rcp.xml"));
  EXPECT_EQ(mimeapps().find("volta"), std::string::npos) << mimeapps();
  EXPECT_EQ(output("grep -rl volta '" + places_.dataHome.string() + "'"), "");
  EXPECT_TRUE(fs::exists(places_.dataHome / "applications" / "ark.desktop"));
}

TEST_F(FileAssociationsTools, AMissingToolIsReportedByName) {
  FileAssociations broken(places_, "/v", [](const auto& argv, const auto&) { return argv[0] != "xdg-mime"; });
  EXPECT_FALSE(broken.apply({"audio/x-rcp"}, {}));
  EXPECT_NE(broken.error().find("xdg-mime default volta.desktop audio/x-rcp failed"), std::string::npos);
}

}  // namespace
}  // namespace volta::platform::desktop
