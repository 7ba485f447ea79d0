#pragma once
// Clients block while they wait for the server, so they run on a thread of their own
// while the test's event loop serves them. Sockets live and die on that thread.

#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <functional>
#include <utility>

namespace volta::dde::test {

class ClientThread {
 public:
  ClientThread() {
    thread_.start();
    context_.moveToThread(&thread_);
  }
  ~ClientThread() {
    thread_.quit();
    thread_.wait();
  }

  // Starts the work on the client thread and returns at once.
  void post(std::function<void()> work) { QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection); }

  // Runs the work on the client thread and serves the server until it is done.
  void run(const std::function<void()>& work) {
    QEventLoop loop;
    post([&] {
      work();
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
  }

 private:
  QThread thread_;
  QObject context_;
};

}  // namespace volta::dde::test
