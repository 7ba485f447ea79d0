// volta: the player program.
//
//   volta                 restore the last list
//   volta /n              start with an empty list
//   volta FILE [/M:MOD]   play a song or list (a running player is asked to play it instead)
//   volta dde COMMAND     send one command to a running player
//   volta dde-request ITEM [N]   print a running player's answer to a request
//   volta --help | --version

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/termination.h"
#include "platform/usage.h"
#include "player/core/app/command_line.h"
#include "player/shell/desktop/mpris.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/midi_application.h"
#include "player/shell/frame/remote.h"

namespace {

// Qt aborts when it finds no display; say so plainly instead, and name the terminal player.
bool displayAvailable() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  std::fputs(
      "volta: no display to open the player window on ($DISPLAY and $WAYLAND_DISPLAY are empty); "
      "volta-play plays songs in the terminal\n",
      stderr);
  return false;
}

// Termination requests end the player as its Exit command does.
std::unique_ptr<QSocketNotifier> endOnTermination(volta::shell::MIDIApplication& player, int requests) {
  if (requests < 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(requests, QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, &player, [&player, requests] {
    volta::platform::takeTerminationRequest(requests);
    player.quit();
  });
  return notifier;
}

constexpr const char* kUsage =
    "usage: volta [FILE [/M:MODULE]]    play a song or list (a running player is asked to play it)\n"
    "       volta /n                     start with an empty list\n"
    "       volta dde COMMAND            send one command to a running player\n"
    "       volta dde-request ITEM [N]   print a running player's answer to a request\n"
    "       volta --help | --version\n";

// Help, version and misuse are answered before any running player is contacted.
std::optional<int> answerOptions(const volta::app::CommandLine& commandLine) {
  using Kind = volta::app::CommandLine::Kind;
  switch (commandLine.kind) {
    case Kind::kHelp:
      return volta::platform::printUsage(kUsage);
    case Kind::kVersion:
      std::puts("volta " VOLTA_VERSION);
      return 0;
    case Kind::kMisuse:
      std::fprintf(stderr, "volta: unknown option %s\n", commandLine.text.c_str());
      return volta::platform::refuseUsage(kUsage);
    default:
      return std::nullopt;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto commandLine = volta::app::parseCommandLine(args, QDir::currentPath().toStdString());
  if (const auto answered = answerOptions(commandLine)) return *answered;
  // Requests for a running player are answered without a window.
  if (const auto handled = volta::shell::offerToRunningPlayer(commandLine)) return *handled;
  if (!displayAvailable()) return 1;

  // A termination request from now on ends the player through its Exit, which saves.
  const int terminationRequests = volta::platform::terminationRequests();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VOLTA Player"));
  volta::shell::MIDIApplication player(volta::core::PlayerPlaces::defaults());
  volta::shell::RemoteService remote(player);
  QObject::connect(&player.frame(), &volta::shell::TMainFrame::closing, &application, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!remote.listen()) std::fprintf(stderr, "volta: no remote control: %s\n", qPrintable(remote.error()));
  // Media keys and desktop widgets, when the session has a bus; without one the player goes on as it is.
  volta::shell::MprisService mpris(player);
  mpris.publish();
  // Start-up measurements watch for this line.
  if (std::getenv("VOLTA_REPORT_FIRST_PAINT"))
    QObject::connect(&player, &volta::shell::MIDIApplication::firstPainted, [] {
      std::puts("first paint");
      std::fflush(stdout);
    });
  const auto termination = endOnTermination(player, terminationRequests);
  player.start(commandLine);
  return application.exec();
}
