#include "player/shell/dde/dde_client.h"

#include <QElapsedTimer>
#include <QLocalSocket>

#include "player/core/dde/dde_commands.h"
#include "player/shell/dde/dde_socket.h"

namespace volta::dde {
namespace {

constexpr std::string_view kTopic = "VOLTA";

bool expected(FrameType sent, FrameType reply) {
  switch (sent) {
    case FrameType::Connect:
      return reply == FrameType::Connected;
    case FrameType::Execute:
      return reply == FrameType::Acknowledged || reply == FrameType::NotProcessed;
    case FrameType::Request:
      return reply == FrameType::Data || reply == FrameType::NoData;
    default:
      return false;
  }
}

std::string withNumber(std::string_view item, int n) {
  return std::string(item) + " " + std::to_string(n);
}

}  // namespace

MIDIDDEClient::MIDIDDEClient() : MIDIDDEClient(defaultSocketPath().value_or(QString())) {}

MIDIDDEClient::MIDIDDEClient(const QString& socketPath, int timeoutMs, int connectTimeoutMs)
    : socket_(std::make_unique<QLocalSocket>()), timeoutMs_(timeoutMs) {
  if (socketPath.isEmpty()) {
    socket_.reset();
    return;
  }
  socket_->connectToServer(socketPath);
  if (!socket_->waitForConnected(timeoutMs_)) {
    socket_.reset();
    return;
  }
  transact(FrameType::Connect, kTopic, connectTimeoutMs);
}

MIDIDDEClient::~MIDIDDEClient() = default;

void MIDIDDEClient::hangUp() {
  if (socket_) socket_->abort();
  socket_.reset();
}

std::optional<Frame> MIDIDDEClient::transact(FrameType type, std::string_view payload, int timeoutMs) {
  const auto bytes = encodeFrame(type, payload);
  if (!socket_ || !bytes) return std::nullopt;
  QElapsedTimer clock;
  clock.start();
  socket_->write(bytes->data(), static_cast<qint64>(bytes->size()));
  while (socket_->bytesToWrite() > 0) {
    const int left = timeoutMs - static_cast<int>(clock.elapsed());
    if (left <= 0 || !socket_->waitForBytesWritten(left)) {
      hangUp();
      return std::nullopt;
    }
  }
  auto reply = awaitFrame(timeoutMs - static_cast<int>(clock.elapsed()));
  if (!reply || !expected(type, reply->type)) {
    hangUp();
    return std::nullopt;
  }
  return reply;
}

std::optional<Frame> MIDIDDEClient::awaitFrame(int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (auto frame = decoder_.next()) return frame;
    const int left = timeoutMs - static_cast<int>(clock.elapsed());
    if (decoder_.broken() || left <= 0 || !socket_->waitForReadyRead(left)) return std::nullopt;
    const QByteArray bytes = socket_->readAll();
    decoder_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

bool MIDIDDEClient::execute(std::string_view command) {
  return executeAnswer(command) == FrameType::Acknowledged;
}

std::optional<FrameType> MIDIDDEClient::executeAnswer(std::string_view command) {
  const auto reply = transact(FrameType::Execute, command);
  if (!reply) return std::nullopt;
  return reply->type;
}

std::optional<std::string> MIDIDDEClient::request(std::string_view item) {
  auto reply = transact(FrameType::Request, item);
  if (!reply || reply->type != FrameType::Data) return std::nullopt;
  return std::move(reply->payload);
}

std::int64_t MIDIDDEClient::number(std::string_view item, std::int64_t none) {
  const auto reply = request(item);
  if (!reply) return none;
  return readDecimal(*reply).value_or(none);
}

bool MIDIDDEClient::play(int n) {
  return execute(withNumber("Play", n));
}
bool MIDIDDEClient::openFile(const std::string& name) {
  return execute("OpenFile " + name);
}
bool MIDIDDEClient::playFile(const std::string& name) {
  return execute("PlayFile " + name);
}
std::int64_t MIDIDDEClient::getCount() {
  return number("GetCount", 0);
}
std::optional<std::string> MIDIDDEClient::getTitle(int n) {
  return request(withNumber("GetTitle", n));
}
std::int64_t MIDIDDEClient::getLength(int n) {
  return number(withNumber("GetLength", n), 0);
}
std::optional<std::string> MIDIDDEClient::getFileName(int n) {
  return request(withNumber("GetFileName", n));
}
std::optional<std::string> MIDIDDEClient::getBaseFolder() {
  return request("GetBaseFolder");
}
std::optional<std::string> MIDIDDEClient::getListFileName() {
  return request("GetListFileName");
}
std::optional<std::string> MIDIDDEClient::getStatus() {
  return request("GetStatus");
}
std::int64_t MIDIDDEClient::getTime() {
  return number("GetTime", 0);
}
std::int64_t MIDIDDEClient::getPlayFile() {
  return number("GetPlayFile", -1);
}

}  // namespace volta::dde
