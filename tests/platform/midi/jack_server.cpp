#include "tests/platform/midi/jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/midi/audio_systems.h"

namespace volta::platform::midi::test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);

std::string lastLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  return last;
}

bool exited(pid_t pid, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  do {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

}  // namespace

bool JackServer::start() {
  quietAudioLibraryLogs();
  // Two JACK servers of one user disturb each other's clients (they share JACK's
  // registry of shared memory), so test processes take turns.
  lock_ = open((std::filesystem::temp_directory_path() / "volta-jack-tests.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
               0600);
  if (lock_ >= 0) flock(lock_, LOCK_EX);
  name_ = "volta-test-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  log_ = std::filesystem::temp_directory_path() / (name_ + ".log");
  pid_ = fork();
  if (pid_ < 0) return why_ = "fork failed", false;
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // a test that aborts takes its server along
    const int fd = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
      dup2(fd, STDOUT_FILENO);
      dup2(fd, STDERR_FILENO);
    }
    // A long client timeout: on a loaded machine a slow client must not be thrown out.
    execlp("jackd", "jackd", "-n", name_.c_str(), "--no-realtime", "-t", "10000", "-d", "dummy", "-r", "44100", "-p",
           "256", static_cast<char*>(nullptr));
    _exit(127);
  }
  return waitUntilReady();
}

// The server is ready when a client can connect; it is an outside process, so this
// waits on the wall clock.
bool JackServer::waitUntilReady() {
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      why_ = WIFEXITED(status) && WEXITSTATUS(status) == 127 ? "jackd is not installed (package jackd2)"
                                                             : "jackd exited: " + lastLine(log_);
      return false;
    }
    jack_status_t jackStatus{};
    if (jack_client_t* client = jack_client_open("volta-test-probe", JackNoStartServer, &jackStatus)) {
      jack_client_close(client);
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  why_ = "jackd did not accept clients within 15 s: " + lastLine(log_);
  stop();
  return false;
}

void JackServer::stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    if (!exited(pid_, std::chrono::seconds(5))) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }
  if (!log_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(log_, ignored);
  }
  if (lock_ >= 0) close(lock_);  // releases the turn
  lock_ = -1;
}

void useAbsentJackServer() {
  const std::string name = "volta-absent-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
}

}  // namespace volta::platform::midi::test
