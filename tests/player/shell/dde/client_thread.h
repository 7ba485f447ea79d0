#pragma once
// Clients block while they wait for the server, so they run on a thread of their own
// while the test's event loop serves them. Sockets live and die on that thread.

#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>
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

  // Runs the work on the client thread and serves the server until it is done.
  template <class Work>
  void run(Work work) {
    QEventLoop loop;
    QMetaObject::invokeMethod(
        &context_,
        [&] {
          work();
          QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    loop.exec();
  }

 private:
  QThread thread_;
  QObject context_;
};

}  // namespace volta::dde::test
