#pragma once
// The client side of remote control: one conversation with a running player, every
// transaction waiting at most the timeout for its answer. A transaction that times out
// or meets a broken reply fails and ends the conversation, since a late answer would
// otherwise be taken for the next one's.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "player/core/dde/dde_wire.h"

class QLocalSocket;

namespace volta::dde {

inline constexpr int kTransactionTimeoutMs = 1000;
// A player whose socket took the connection may still be starting: its event loop, which
// answers, runs only once its window and output are up. The conversation waits that long.
inline constexpr int kConnectTimeoutMs = 5000;

class MIDIDDEClient {
 public:
  // Connects to the player of this user (topic "VOLTA").
  MIDIDDEClient();
  explicit MIDIDDEClient(const QString& socketPath, int timeoutMs = kTransactionTimeoutMs,
                         int connectTimeoutMs = kConnectTimeoutMs);
  ~MIDIDDEClient();
  MIDIDDEClient(const MIDIDDEClient&) = delete;
  MIDIDDEClient& operator=(const MIDIDDEClient&) = delete;

  // A player answered the Connect and the conversation has not failed since.
  bool connected() const { return socket_ != nullptr; }

  // One execute transaction; true when the player acknowledged it.
  bool execute(std::string_view command);
  // The player's answer to one execute transaction (Acknowledged or NotProcessed); none
  // when no answer came in time.
  std::optional<FrameType> executeAnswer(std::string_view command);
  // One request transaction; none when the player had no data (or did not answer).
  std::optional<std::string> request(std::string_view item);

  bool play(int n);
  // Names go as given; enclose a name with blanks in double quotes.
  bool openFile(const std::string& name);
  bool playFile(const std::string& name);
  std::int64_t getCount();  // 0 on no data
  std::optional<std::string> getTitle(int n);
  std::int64_t getLength(int n);  // 0 on no data
  std::optional<std::string> getFileName(int n);
  std::optional<std::string> getBaseFolder();
  std::optional<std::string> getListFileName();
  std::optional<std::string> getStatus();
  std::int64_t getTime();      // 0 on no data
  std::int64_t getPlayFile();  // -1 on no data

 private:
  std::optional<Frame> transact(FrameType type, std::string_view payload, int timeoutMs);
  std::optional<Frame> transact(FrameType type, std::string_view payload) {
    return transact(type, payload, timeoutMs_);
  }
  std::optional<Frame> awaitFrame(int timeoutMs);
  std::int64_t number(std::string_view item, std::int64_t none);
  void hangUp();

  std::unique_ptr<QLocalSocket> socket_;
  FrameDecoder decoder_;
  int timeoutMs_;
};

}  // namespace volta::dde
