#include "platform/midi/audio_systems.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <unistd.h>

#include <mutex>
#include <thread>

namespace volta::platform::midi {
namespace {

void ignoreJack(const char*) {}
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietAudioLibraryLogs() {
  static std::once_flag once;
  std::call_once(once, [] {
    jack_set_error_function(ignoreJack);
    jack_set_info_function(ignoreJack);
    snd_lib_error_set_handler(ignoreAlsa);
  });
}

bool alsaSequencerPresent() {
  return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

namespace {

jack_client_t* openProbe() {
  quietAudioLibraryLogs();
  jack_status_t status{};
  return jack_client_open("VOLTA probe", JackNoStartServer, &status);
}

}  // namespace

bool jackServerRunning() {
  jack_client_t* client = openProbe();
  if (!client) return false;
  jack_client_close(client);
  return true;
}

std::vector<std::string> jackMidiPorts(bool receiving) {
  jack_client_t* client = openProbe();
  if (!client) return {};
  std::vector<std::string> names;
  const char** ports =
      jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, receiving ? JackPortIsInput : JackPortIsOutput);
  for (std::size_t i = 0; ports && ports[i]; ++i)
    names.emplace_back(ports[i]);
  jack_free(ports);
  jack_client_close(client);
  return names;
}

JackConnectionWatch::JackConnectionWatch(const std::string& portName) : portName_(portName) {
  quietAudioLibraryLogs();
  jack_status_t status{};
  client_ = jack_client_open("VOLTA watch", JackNoStartServer, &status);
  if (client_) before_ = connections();
}

JackConnectionWatch::~JackConnectionWatch() {
  if (client_) jack_client_close(client_);
}

int JackConnectionWatch::connections() const {
  jack_port_t* port = jack_port_by_name(client_, portName_.c_str());
  if (!port) return -1;
  const char** names = jack_port_get_all_connections(client_, port);
  int count = 0;
  while (names && names[count])
    ++count;
  jack_free(names);
  return count;
}

// The graph a client reads is the one the server switched to at a cycle's start,
// so a connection seen here is one that carries data.
bool JackConnectionWatch::waitForNewConnection(std::chrono::milliseconds timeout) {
  if (!client_ || before_ < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (connections() <= before_) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace volta::platform::midi
