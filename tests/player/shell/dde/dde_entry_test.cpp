// The hand-over runs before the program has an application object.
#include "player/shell/dde/dde_entry.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <sstream>

#include "tests/support/test_support.h"

namespace volta::dde {
namespace {

TEST(DdeEntryBeforeTheApplication, StaleSocketMeansStartNormally) {
  volta::test::TempDir runtime;
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  std::filesystem::create_directory(runtime / "volta");
  std::filesystem::permissions(runtime / "volta", std::filesystem::perms::owner_all);
  const std::string name = (runtime / "volta" / "dde.socket").string();
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  name.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);

  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  EXPECT_FALSE(runDdeCommand("Stop").has_value());
  EXPECT_FALSE(handOver("/m/a.mid", "/M:GM").has_value());
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runDdeRequest("GetStatus", std::nullopt, out, err), 1);
  EXPECT_EQ(out.str(), "");
  // The program can still make its own application object afterwards.
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
  int argc = 1;
  char name0[] = "volta";
  char* argv[] = {name0, nullptr};
  const QCoreApplication application(argc, argv);
  EXPECT_EQ(QCoreApplication::instance(), &application);
}

}  // namespace
}  // namespace volta::dde
