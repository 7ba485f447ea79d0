#include "player/shell/dde/dde_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QThread>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>

#include "player/shell/dde/dde_client.h"
#include "player/shell/dde/dde_entry.h"
#include "player/shell/dde/dde_socket.h"
#include "tests/player/core/dde/fake_dde_host.h"
#include "tests/player/shell/dde/client_thread.h"
#include "tests/support/test_support.h"

namespace volta::dde {
namespace {

using Calls = std::vector<std::string>;

std::string frame(FrameType type, std::string_view payload) {
  return encodeFrame(type, payload).value();
}

// Each test gets its own runtime folder, so its player is the only one in sight.
class DdeServerTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old) oldRuntime_ = old;
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    path = defaultSocketPath().value();
    host.addSongs(3);
    ASSERT_TRUE(server.listen()) << server.error().toStdString();
  }
  void TearDown() override {
    if (oldRuntime_) {
      setenv("XDG_RUNTIME_DIR", oldRuntime_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
  }

  // Sends raw bytes on a connection of its own; true when the server then closed it.
  bool closedAfter(const std::string& bytes) {
    bool closed = false;
    clients.run([&] {
      QLocalSocket socket;
      socket.connectToServer(path);
      ASSERT_TRUE(socket.waitForConnected(1000));
      socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
      socket.waitForBytesWritten(1000);
      closed = socket.waitForDisconnected(2000);
    });
    return closed;
  }

  // The server still serves a well-behaved client.
  void expectServing() {
    clients.run([&] {
      MIDIDDEClient client(path);
      EXPECT_TRUE(client.connected());
      EXPECT_EQ(client.getCount(), 3);
    });
  }

  volta::test::TempDir runtime_;
  std::optional<std::string> oldRuntime_;
  test::FakeDdeHost host;
  DdeServer server{host};
  QString path;
  test::ClientThread clients;
};

TEST_F(DdeServerTest, EveryClientMethodIsOneTransaction) {
  host.isPlaying = true;
  host.current = 1;
  host.base = "/home/me/songs";
  host.list = "/home/me/songs/ALL.TOR";
  clients.run([&] {
    MIDIDDEClient client(path);
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.getCount(), 3);
    EXPECT_EQ(client.getTitle(1), "Song 1");
    EXPECT_FALSE(client.getTitle(3).has_value());
    EXPECT_EQ(client.getLength(2), 60002);
    EXPECT_EQ(client.getLength(9), 0);
    EXPECT_EQ(client.getFileName(0), "\\SONG0.MID");
    EXPECT_EQ(client.getBaseFolder(), "/home/me/songs");
    EXPECT_EQ(client.getListFileName(), "/home/me/songs/ALL.TOR");
    EXPECT_EQ(client.getStatus(), "play");
    EXPECT_EQ(client.getPlayFile(), 1);
    EXPECT_EQ(client.getTime(), 0);
    EXPECT_TRUE(client.play(2));
    EXPECT_TRUE(client.play(3));
    EXPECT_TRUE(client.openFile("/m/list.to2"));
    EXPECT_TRUE(client.playFile("\"/m/a b.mid\"SC-88"));
    EXPECT_FALSE(client.execute("Rewind"));
    EXPECT_TRUE(client.connected());
  });
  EXPECT_EQ(host.calls, (Calls{"playPosition(2)", "openFile(/m/list.to2|)", "openFile(/m/a b.mid|SC-88)", "play"}));
}

TEST_F(DdeServerTest, PausedStatusAndStoppedPosition) {
  clients.run([&] {
    MIDIDDEClient client(path);
    EXPECT_EQ(client.getStatus(), "stop");
    EXPECT_EQ(client.getPlayFile(), -1);
  });
  host.isPlaying = true;
  host.isPaused = true;
  clients.run([&] {
    MIDIDDEClient client(path);
    EXPECT_EQ(client.getStatus(), "pause");
  });
}

TEST_F(DdeServerTest, LockLastsAsLongAsItsConnection) {
  std::unique_ptr<MIDIDDEClient> a;
  std::unique_ptr<MIDIDDEClient> b;
  clients.run([&] {
    a = std::make_unique<MIDIDDEClient>(path);
    b = std::make_unique<MIDIDDEClient>(path);
    EXPECT_TRUE(a->execute("Lock"));
    EXPECT_FALSE(b->execute("Stop"));
    EXPECT_FALSE(b->execute("Unlock"));
    EXPECT_EQ(b->getStatus(), "stop");  // requests are not locked out
  });
  EXPECT_TRUE(host.calls.empty());
  QSignalSpy ended(&server, &DdeServer::ended);
  clients.run([&] { a.reset(); });
  ASSERT_TRUE(ended.count() > 0 || ended.wait(2000));
  EXPECT_FALSE(host.lock.has_value());
  clients.run([&] {
    EXPECT_TRUE(b->execute("Stop"));
    b.reset();
  });
  EXPECT_EQ(host.calls, (Calls{"stop"}));
}

// Idle connections cost memory each: past the cap the longest idle goes, the lock
// holder's never.
TEST_F(DdeServerTest, ConversationsAreCappedAndTheLockHolderKeepsItsOwn) {
  std::unique_ptr<MIDIDDEClient> holder;
  std::vector<std::unique_ptr<MIDIDDEClient>> idle;
  clients.run([&] {
    holder = std::make_unique<MIDIDDEClient>(path);
    EXPECT_TRUE(holder->execute("Lock"));
    for (std::size_t i = 0; i < DdeServer::kMaxConversations + 10; ++i)
      idle.push_back(std::make_unique<MIDIDDEClient>(path));
  });
  EXPECT_LE(server.conversations(), DdeServer::kMaxConversations);
  clients.run([&] {
    EXPECT_TRUE(idle.back()->connected());
    EXPECT_EQ(idle.back()->getCount(), 3);
    EXPECT_EQ(idle.front()->getCount(), 0);  // closed as the longest idle
    EXPECT_TRUE(holder->execute("Stop"));
    holder.reset();
    idle.clear();
  });
  EXPECT_EQ(host.calls, (Calls{"stop"}));
}

TEST_F(DdeServerTest, BrokenConnectionsAreClosedAloneAndTheServerGoesOn) {
  QSignalSpy dropped(&server, &DdeServer::dropped);
  const std::string hello = frame(FrameType::Connect, "VOLTA");
  EXPECT_TRUE(closedAfter("this is not a frame at all"));
  EXPECT_TRUE(closedAfter(hello + std::string("\xFF\xFF\xFF\x7F\x02", 5)));  // 2 GiB announced
  EXPECT_TRUE(closedAfter(frame(FrameType::Execute, "Stop")));               // no Connect first
  EXPECT_TRUE(closedAfter(hello + frame(FrameType::Data, "a reply")));       // not a client's frame
  EXPECT_EQ(dropped.count(), 4);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(server.conversations(), 0u);
  expectServing();
}

TEST_F(DdeServerTest, ClientThatNeverReadsItsRepliesIsCutOff) {
  host.base = std::string(60000, 'b');
  std::string asks = frame(FrameType::Connect, "VOLTA");
  for (int i = 0; i < 40; ++i)
    asks += frame(FrameType::Request, "GetBaseFolder");
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(write(fd, asks.data(), asks.size()), static_cast<ssize_t>(asks.size()));
  QSignalSpy dropped(&server, &DdeServer::dropped);
  EXPECT_TRUE(dropped.wait(2000));
  close(fd);
  expectServing();
}

TEST_F(DdeServerTest, ClientLeavingMidTransaction) {
  QSignalSpy ended(&server, &DdeServer::ended);
  const std::string stop = frame(FrameType::Execute, "Stop");
  clients.run([&] {
    QLocalSocket socket;
    socket.connectToServer(path);
    ASSERT_TRUE(socket.waitForConnected(1000));
    const std::string half = frame(FrameType::Connect, "VOLTA") + stop.substr(0, 6);
    socket.write(half.data(), static_cast<qint64>(half.size()));
    socket.waitForBytesWritten(1000);
  });
  ASSERT_TRUE(ended.count() > 0 || ended.wait(2000));
  EXPECT_TRUE(host.calls.empty());
  expectServing();
}

TEST_F(DdeServerTest, LockOfAClientThatLeftAtOnceIsReleased) {
  QSignalSpy ended(&server, &DdeServer::ended);
  clients.run([&] {
    QLocalSocket socket;
    socket.connectToServer(path);
    ASSERT_TRUE(socket.waitForConnected(1000));
    const std::string bytes = frame(FrameType::Connect, "VOLTA") + frame(FrameType::Execute, "Lock");
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket.waitForBytesWritten(1000);
  });
  ASSERT_TRUE(ended.count() > 0 || ended.wait(2000));
  EXPECT_FALSE(host.lock.has_value());
}

// Opening a file may show a dialog, whose event loop serves the other conversations
// while the opener waits for its answer.
class DialogHost : public test::FakeDdeHost {
 public:
  std::function<void(QEventLoop&)> duringDialog;
  bool openFile(const std::string& name, const std::string& module) override {
    FakeDdeHost::openFile(name, module);
    QEventLoop dialog;
    duringDialog(dialog);
    dialog.exec();
    return true;
  }
};

TEST_F(DdeServerTest, OtherConversationsAreServedWhileACommandShowsADialog) {
  DialogHost dialogHost;
  DdeServer dialogServer(dialogHost);
  const QString dialogPath = QString::fromStdString((runtime_.path() / "dialog.socket").string());
  ASSERT_TRUE(dialogServer.listen(dialogPath));
  test::ClientThread other;
  bool stopped = false;
  std::optional<std::string> status;
  dialogHost.duringDialog = [&](QEventLoop& dialog) {
    other.post([&] {
      MIDIDDEClient b(dialogPath);
      stopped = b.execute("Stop");
      status = b.getStatus();
      QMetaObject::invokeMethod(&dialog, &QEventLoop::quit, Qt::QueuedConnection);
    });
  };
  bool opened = false;
  clients.run([&] {
    MIDIDDEClient a(dialogPath);
    opened = a.playFile("/m/a.mid");
  });
  EXPECT_TRUE(opened);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(status, "stop");
  EXPECT_EQ(dialogHost.calls, (Calls{"openFile(/m/a.mid|)", "stop", "play"}));
}

TEST_F(DdeServerTest, SocketIsTheUsersAlone) {
  struct stat socketInfo {};
  ASSERT_EQ(lstat(path.toLocal8Bit().constData(), &socketInfo), 0);
  EXPECT_TRUE(S_ISSOCK(socketInfo.st_mode));
  EXPECT_EQ(socketInfo.st_mode & 077, 0u);
  EXPECT_EQ(socketInfo.st_uid, getuid());
  struct stat folderInfo {};
  ASSERT_EQ(lstat((runtime_.path() / "volta").c_str(), &folderInfo), 0);
  EXPECT_EQ(folderInfo.st_mode & 0777, 0700u);
}

TEST_F(DdeServerTest, SecondPlayerDoesNotTakeALiveSocket) {
  test::FakeDdeHost other;
  DdeServer second(other);
  EXPECT_FALSE(second.listen(path));
  EXPECT_FALSE(second.error().isEmpty());
  expectServing();
}

TEST(DdeServerStale, SocketLeftByACrashedPlayerIsReplaced) {
  volta::test::TempDir folder;
  const std::string name = (folder.path() / "dde.socket").string();
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  name.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);  // the file stays, nobody listens
  test::FakeDdeHost host;
  DdeServer server(host);
  EXPECT_TRUE(server.listen(QString::fromStdString(name))) << server.error().toStdString();
}

TEST_F(DdeServerTest, ClientGivesUpOnAPlayerThatDoesNotAnswer) {
  QLocalServer mute;
  const QString mutePath = QString::fromStdString((runtime_.path() / "mute.socket").string());
  ASSERT_TRUE(mute.listen(mutePath));
  clients.run([&] {
    MIDIDDEClient client(mutePath, 50, 50);
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(client.execute("Stop"));
    EXPECT_EQ(client.getPlayFile(), -1);
  });
}

// A player listens before its start is over; a conversation begun meanwhile waits for it
// instead of taking it for no player (which would start a second one).
TEST_F(DdeServerTest, AConversationWaitsForAPlayerStillStarting) {
  std::optional<std::int64_t> count;
  bool connected = false;
  QEventLoop loop;
  clients.post([&] {
    MIDIDDEClient client(path, 50, 2000);
    connected = client.connected();
    if (connected) count = client.getCount();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QThread::msleep(300);  // the player's start keeps its thread busy, far beyond one transaction
  loop.exec();
  EXPECT_TRUE(connected);
  EXPECT_EQ(count, 3);
}

TEST_F(DdeServerTest, CommandLineHandOver) {
  std::optional<int> taken;
  std::optional<int> refused;
  clients.run([&] {
    taken = handOver("/music/a b.mid", "/M:SC-88");
    refused = runDdeCommand("Rewind");
  });
  EXPECT_EQ(taken, 0);
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(host.calls, (Calls{"openFile(/music/a b.mid|SC-88)", "play"}));
}

TEST_F(DdeServerTest, CommandLineRequest) {
  std::ostringstream out;
  std::ostringstream err;
  int title = -1;
  int time = -1;
  clients.run([&] {
    title = runDdeRequest("GetTitle", "1", out, err);
    time = runDdeRequest("GetTime", std::nullopt, out, err);
  });
  EXPECT_EQ(title, 0);
  EXPECT_EQ(time, 1);
  EXPECT_EQ(out.str(), "Song 1\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(DdeServerTest, WithoutAPlayerTheProgramStartsItself) {
  volta::test::TempDir elsewhere;
  setenv("XDG_RUNTIME_DIR", elsewhere.path().c_str(), 1);
  std::ostringstream out;
  std::ostringstream err;
  std::optional<int> command = 0;
  std::optional<int> file = 0;
  int item = 0;
  clients.run([&] {
    command = runDdeCommand("Stop");
    file = handOver("/music/a.mid");
    item = runDdeRequest("GetCount", std::nullopt, out, err);
  });
  EXPECT_FALSE(command.has_value());
  EXPECT_FALSE(file.has_value());
  EXPECT_EQ(item, 1);
  EXPECT_NE(err.str().find("no player"), std::string::npos);
}

TEST(DdeHandOverCommand, QuotedPathAndModule) {
  EXPECT_EQ(handOverCommand("/m/a b.mid", "/M:SC-88"), "PlayFile \"/m/a b.mid\"SC-88");
  EXPECT_EQ(handOverCommand("/m/a.mid", ""), "PlayFile \"/m/a.mid\"");
  EXPECT_EQ(handOverCommand("/m/a.mid", "-x"), "PlayFile \"/m/a.mid\"");
  EXPECT_FALSE(handOverCommand("/m/say \"hi\".mid", "").has_value());
  EXPECT_FALSE(handOverCommand("/" + std::string(2000, 'a'), "").has_value());
}

}  // namespace
}  // namespace volta::dde
