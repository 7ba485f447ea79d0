#include "player/shell/dde/dde_server.h"

#include <QFileInfo>
#include <QLocalSocket>

#include "player/shell/dde/dde_socket.h"

namespace volta::dde {
namespace {

constexpr qint64 kReadChunk = static_cast<qint64>(kFrameHeaderSize + kMaxPayload);
// A client that keeps asking without reading its replies is cut off at this backlog.
constexpr qint64 kMaxUnreadReplies = 1024 * 1024;
constexpr int kProbeTimeoutMs = 1000;

// Someone listens at the path (a player running now, even a busy one).
bool answers(const QString& path) {
  QLocalSocket probe;
  probe.connectToServer(path);
  return probe.waitForConnected(kProbeTimeoutMs);
}

}  // namespace

DdeServer::DdeServer(DdeHost& host, QObject* parent) : QObject(parent), host_(host) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &DdeServer::accept);
}

DdeServer::~DdeServer() {
  server_.close();
  for (const auto& [id, connection] : connections_) {
    if (connection->socket) disconnect(connection->socket, nullptr, this, nullptr);
    disconnected(host_, id);
  }
}

// Listening would silently replace whatever socket is at the path, a live one too, so
// the path is probed first.
bool DdeServer::listen(const QString& path) {
  error_.clear();
  if (QFileInfo::exists(path)) {
    if (answers(path)) {
      error_ = QStringLiteral("a running player already answers at %1").arg(path);
      return false;
    }
    QLocalServer::removeServer(path);
  }
  if (server_.listen(path)) return true;
  error_ = server_.errorString();
  return false;
}

bool DdeServer::listen() {
  const auto path = defaultSocketPath();
  if (path) return listen(*path);
  error_ = QStringLiteral("no private folder for the remote-control socket");
  return false;
}

void DdeServer::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (!peerIsThisUser(socket->socketDescriptor())) {
      emit dropped(QStringLiteral("a connection from another user"));
      socket->abort();
      socket->deleteLater();
      continue;
    }
    if (!makeRoom()) {
      emit dropped(QStringLiteral("too many conversations at once"));
      socket->abort();
      socket->deleteLater();
      continue;
    }
    const Conversation id = nextConversation_++;
    Connection& connection = *connections_.emplace(id, std::make_unique<Connection>()).first->second;
    connection.socket = socket;
    connection.lastActive = ++activity_;
    connect(socket, &QLocalSocket::readyRead, this, [this, id] { serve(id); });
    connect(socket, &QLocalSocket::disconnected, this, [this, id] { end(id); });
    serve(id);
  }
}

// Answers every complete frame received so far. A command may run a nested event loop
// (a dialog); the connection stays in the table until it returns, and frames that come
// meanwhile wait for this loop instead of being answered out of order.
void DdeServer::serve(Conversation id) {
  const auto found = connections_.find(id);
  if (found == connections_.end()) return;
  Connection& connection = *found->second;
  if (connection.busy) return;
  connection.busy = true;
  connection.lastActive = ++activity_;
  while (!connection.dropped && connection.socket && connection.socket->bytesAvailable() > 0) {
    const QByteArray bytes = connection.socket->read(kReadChunk);
    connection.decoder.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    while (!connection.dropped) {
      const auto frame = connection.decoder.next();
      if (!frame) break;
      answer(connection, *frame, id);
    }
    if (!connection.dropped && connection.decoder.broken()) {
      drop(id, QString::fromStdString(connection.decoder.error()));
    }
  }
  connection.busy = false;
  if (connection.ended) finish(id);
}

void DdeServer::answer(Connection& connection, const Frame& frame, Conversation id) {
  if (!connection.greeted) {
    if (frame.type != FrameType::Connect) {
      drop(id, QStringLiteral("a conversation must begin with Connect"));
      return;
    }
    connection.greeted = true;
    send(connection, FrameType::Connected, {}, id);
    return;
  }
  switch (frame.type) {
    case FrameType::Execute: {
      emit serving(true);
      const bool done = execute(host_, id, frame.payload);
      emit serving(false);
      send(connection, done ? FrameType::Acknowledged : FrameType::NotProcessed, {}, id);
      return;
    }
    case FrameType::Request: {
      emit serving(true);
      const auto reply = request(host_, id, frame.payload);
      emit serving(false);
      if (reply && reply->size() <= kMaxPayload) {
        send(connection, FrameType::Data, *reply, id);
      } else {
        send(connection, FrameType::NoData, {}, id);
      }
      return;
    }
    default:
      drop(id, QStringLiteral("frame type 0x%1 has no place here").arg(static_cast<int>(frame.type), 2, 16));
      return;
  }
}

bool DdeServer::makeRoom() {
  if (connections_.size() < kMaxConversations) return true;
  const auto holder = host_.lockHolder();
  auto oldest = connections_.end();
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    const Connection& candidate = *it->second;
    if (candidate.busy || candidate.ended || (holder && *holder == it->first)) continue;
    if (oldest == connections_.end() || candidate.lastActive < oldest->second->lastActive) oldest = it;
  }
  if (oldest == connections_.end()) return false;
  drop(oldest->first, QStringLiteral("closed as the longest idle of too many conversations"));
  return true;
}

void DdeServer::send(Connection& connection, FrameType type, std::string_view payload, Conversation id) {
  QLocalSocket* socket = connection.socket;
  if (connection.ended || !socket || socket->state() != QLocalSocket::ConnectedState) return;
  const std::string bytes = encodeFrame(type, payload).value();
  socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (socket->bytesToWrite() > kMaxUnreadReplies) drop(id, QStringLiteral("the client does not read its replies"));
}

void DdeServer::drop(Conversation id, const QString& why) {
  Connection& connection = *connections_.at(id);
  connection.dropped = true;
  emit dropped(why);
  if (connection.socket) connection.socket->abort();
  end(id);
}

// The client is gone: what it sent before leaving is still answered (its replies go
// nowhere), then the conversation ends.
void DdeServer::end(Conversation id) {
  const auto found = connections_.find(id);
  if (found == connections_.end() || found->second->ended) return;
  found->second->ended = true;
  serve(id);
}

void DdeServer::finish(Conversation id) {
  const auto found = connections_.find(id);
  if (QLocalSocket* socket = found->second->socket) {
    disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
  }
  connections_.erase(found);
  disconnected(host_, id);
  emit ended(id);
}

}  // namespace volta::dde
