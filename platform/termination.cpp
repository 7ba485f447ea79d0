#include "platform/termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace volta::platform {

namespace {

int writeEnd = -1;

void request(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  // A full pipe already holds a request; losing this byte loses nothing.
  [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
  errno = saved;
}

int makePipe() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  writeEnd = ends[1];
  struct sigaction action {};
  action.sa_handler = request;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : std::array{SIGTERM, SIGINT, SIGHUP})
    sigaction(signal, &action, nullptr);
  return ends[0];
}

}  // namespace

int terminationRequests() {
  static const int readEnd = makePipe();
  return readEnd;
}

int takeTerminationRequest(int readEnd) {
  int last = 0;
  char byte = 0;
  while (read(readEnd, &byte, 1) == 1)
    last = static_cast<unsigned char>(byte);
  return last;
}

}  // namespace volta::platform
