// The tray icon on a status-notifier desktop: a private session bus (dbus-run-session) with
// a stand-in for the desktop's StatusNotifierWatcher in a child process, and an X display
// (xvfb-run). The icon registers itself with the watcher, and the host's
// clicks (Activate, ContextMenu) reach its commands.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <cstdlib>

#include "player/core/app/command_ids.h"
#include "player/shell/keys/tray_icon.h"

namespace volta::shell {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

// What a desktop's tray host offers: a watcher that items register with.
class StatusNotifierWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public slots:
  void RegisterStatusNotifierItem(const QString& service) {
    items_ << service;
    emit StatusNotifierItemRegistered(service);
  }
  void RegisterStatusNotifierHost(const QString&) {}

 signals:
  void StatusNotifierItemRegistered(const QString& service);
  void StatusNotifierHostRegistered();

 private:
  QStringList items_;
};

namespace {

namespace cmd = app::cmd;

bool waitFor(const std::function<bool()>& done) {
  for (int polls = 0; polls < 3000 && !done(); ++polls) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  return done();
}

class TrayOnTheBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "no X display";
    watcher_.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--watcher")});
    ASSERT_TRUE(waitFor([] {
      return QDBusConnection::sessionBus().interface()->isServiceRegistered(QString::fromLatin1(kWatcherService));
    }));
  }
  void TearDown() override {
    watcher_.kill();
    watcher_.waitForFinished();
  }
  QStringList registeredItems() {
    QDBusInterface watcher(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
                           QString::fromLatin1(kWatcherService));
    return watcher.property("RegisteredStatusNotifierItems").toStringList();
  }
  // Calls the item as the host does, without waiting in a way that would keep it from answering.
  void callItem(const QString& item, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                       QStringLiteral("org.kde.StatusNotifierItem"), method);
    call.setArguments(arguments);
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call);
    ASSERT_TRUE(waitFor([&] { return pending.isFinished(); }));
    ASSERT_FALSE(pending.isError()) << pending.error().message().toStdString();
  }

  QProcess watcher_;
};

TEST_F(TrayOnTheBus, TheIconRegistersAndTheHostsClicksBecomeCommands) {
  TTrayIcon tray;
  QSignalSpy unavailable(&tray, &TTrayIcon::unavailable);
  QSignalSpy commands(&tray, &TTrayIcon::command);
  tray.apply(true);
  ASSERT_TRUE(tray.shown());
  EXPECT_EQ(unavailable.count(), 0);
  ASSERT_TRUE(waitFor([&] { return !registeredItems().isEmpty(); }));
  const QString item = registeredItems().first();

  callItem(item, QStringLiteral("Activate"), {5, 5});
  callItem(item, QStringLiteral("ContextMenu"), {5, 5});
  ASSERT_TRUE(waitFor([&] { return commands.count() == 2; }));
  EXPECT_EQ(commands.at(0).at(0).toInt(), cmd::kTrayMenu);
  EXPECT_EQ(commands.at(1).at(0).toInt(), cmd::kPlayPause);

  tray.apply(false);
  EXPECT_FALSE(tray.shown());
}

}  // namespace
}  // namespace volta::shell

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--watcher") {
    QCoreApplication app(argc, argv);
    volta::shell::StatusNotifierWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(QString::fromLatin1(volta::shell::kWatcherPath), &watcher, QDBusConnection::ExportAllContents);
    if (!bus.registerService(QString::fromLatin1(volta::shell::kWatcherService))) return 1;
    return app.exec();
  }
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "tray_dbus_test.moc"
