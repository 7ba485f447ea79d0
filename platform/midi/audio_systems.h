#pragma once
// Facts about the machine's audio systems, asked for quietly: ALSA and JACK print
// every failed connection attempt to stderr, while the device layer probes for both
// at each enumeration and reports failures itself.

#include <jack/jack.h>

#include <chrono>
#include <string>
#include <vector>

namespace volta::platform::midi {

// Silences the ALSA and JACK libraries' own messages (once per process).
void quietAudioLibraryLogs();

// Whether the ALSA sequencer device exists and may be opened.
bool alsaSequencerPresent();

// Whether a JACK server answers (the one JACK_DEFAULT_SERVER names, else the
// default); never starts one.
bool jackServerRunning();

// The full names of the JACK MIDI ports that receive (receiving) or send messages, in
// the server's order; empty when no server answers. One short-lived client that is
// never activated: listing costs a third of what an RtMidi object does.
std::vector<std::string> jackMidiPorts(bool receiving);

// JACK makes a new connection carry data only from a later process cycle on, so
// whoever connects and sends at once would lose the first messages. This watches a
// port of another program: construct it before connecting, then wait.
class JackConnectionWatch {
 public:
  explicit JackConnectionWatch(const std::string& portName);
  ~JackConnectionWatch();
  JackConnectionWatch(const JackConnectionWatch&) = delete;
  JackConnectionWatch& operator=(const JackConnectionWatch&) = delete;

  // Waits until the port has more connections than at construction and the server
  // runs with them; false after the timeout or when the port is not there.
  bool waitForNewConnection(std::chrono::milliseconds timeout);

 private:
  int connections() const;

  jack_client_t* client_ = nullptr;
  std::string portName_;
  int before_ = -1;
};

}  // namespace volta::platform::midi
