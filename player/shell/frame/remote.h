#pragma once
// The program's remote control: a second start hands its request to the player
// that runs already, and the running player serves other programs' commands.

#include <QString>
#include <memory>
#include <optional>

#include "player/core/app/command_line.h"

namespace volta::dde {
class DdeServer;
}

namespace volta::shell {

class MIDIApplication;

// The exit status when a running player took the request (or, for a request item,
// always); none when the program is to start as a player itself.
std::optional<int> offerToRunningPlayer(const app::CommandLine& commandLine);

// The server of the running player, on the user's private socket.
class RemoteService {
 public:
  explicit RemoteService(MIDIApplication& application);
  ~RemoteService();
  // False when the socket could not be set up (the player then runs without remote control).
  bool listen();
  QString error() const;

 private:
  std::unique_ptr<dde::DdeServer> server_;
  QString error_;
};

}  // namespace volta::shell
