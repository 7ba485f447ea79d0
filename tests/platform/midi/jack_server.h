#pragma once
// A private JACK server with the dummy backend, for wiring tests without sound
// hardware. The server gets a name of its own (JACK_DEFAULT_SERVER points every
// client of this process at it) so that tests never touch a user's server.

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace volta::platform::midi::test {

class JackServer {
 public:
  // Starts jackd and waits until clients can connect; on failure, why() says why.
  bool start();
  // Stops the server (also done by the destructor).
  void stop();
  ~JackServer() { stop(); }

  const std::string& why() const { return why_; }
  const std::string& name() const { return name_; }

 private:
  bool waitUntilReady();

  pid_t pid_ = -1;
  int lock_ = -1;
  std::string name_;
  std::string why_;
  std::filesystem::path log_;
};

// Points this process's JACK clients at a server name nobody runs.
void useAbsentJackServer();

}  // namespace volta::platform::midi::test
