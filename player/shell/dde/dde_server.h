#pragma once
// The player's remote-control server: a local socket that only this user can reach.
// Each connection is one conversation, started by a Connect frame; its execute and
// request frames run the commands on the thread that owns the server (the UI thread)
// and are answered in order. A connection that sends anything the protocol does not
// allow is closed on its own; the server and every other conversation carry on. A
// conversation's lock ends with its connection.

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>

#include "player/core/dde/dde_commands.h"
#include "player/core/dde/dde_wire.h"

class QLocalSocket;

namespace volta::dde {

class DdeServer : public QObject {
  Q_OBJECT

 public:
  // The host must outlive the server.
  explicit DdeServer(DdeHost& host, QObject* parent = nullptr);
  ~DdeServer() override;

  // Listens at the path, first removing a socket that a player left behind and that
  // nobody answers any more. False, with error(), when a running player answers there
  // or the socket cannot be made.
  bool listen(const QString& path);
  // Listens at the user's own place (defaultSocketPath).
  bool listen();
  QString error() const { return error_; }
  std::size_t conversations() const { return connections_.size(); }
  // At most this many conversations at once: a new one beyond them closes the one idle
  // longest (never the lock holder's nor one being answered), or is refused.
  static constexpr std::size_t kMaxConversations = 64;

 signals:
  // A connection was closed for breaking the protocol (or belonging to another user).
  void dropped(const QString& why);
  // A conversation ended and its lock, if it held one, was released.
  void ended(volta::dde::Conversation conversation);
  // A command or request is being served (true) or was answered (false).
  void serving(bool on);

 private:
  struct Connection {
    QPointer<QLocalSocket> socket;
    FrameDecoder decoder;
    bool greeted = false;
    bool busy = false;             // frames of this connection are being answered
    bool ended = false;            // the client went away or was dropped
    bool dropped = false;          // nothing more is read from it
    std::uint64_t lastActive = 0;  // when it last sent something, in served frames
  };

  void accept();
  // Makes room for one more conversation; false when every one is in use.
  bool makeRoom();
  void serve(Conversation id);
  void answer(Connection& connection, const Frame& frame, Conversation id);
  void send(Connection& connection, FrameType type, std::string_view payload, Conversation id);
  void drop(Conversation id, const QString& why);
  void end(Conversation id);
  void finish(Conversation id);

  DdeHost& host_;
  QLocalServer server_;
  std::map<Conversation, std::unique_ptr<Connection>> connections_;
  Conversation nextConversation_ = 1;
  std::uint64_t activity_ = 0;
  QString error_;
};

}  // namespace volta::dde
