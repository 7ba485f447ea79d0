// volta: the player program.
//
//   volta                 restore the last list
//   volta /n              start with an empty list
//   volta FILE [/M:MOD]   play a song or list (a running player is asked to play it instead)
//   volta dde COMMAND     send one command to a running player
//   volta dde-request ITEM [N]   print a running player's answer to a request

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/core/app/command_line.h"
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

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto commandLine = volta::app::parseCommandLine(args, QDir::currentPath().toStdString());
  // Requests for a running player are answered without a window.
  if (const auto handled = volta::shell::offerToRunningPlayer(commandLine)) return *handled;
  if (!displayAvailable()) return 1;

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VOLTA Player"));
  volta::shell::MIDIApplication player(volta::shell::defaultPlaces());
  volta::shell::RemoteService remote(player);
  QObject::connect(&player.frame(), &volta::shell::TMainFrame::closing, &application, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!remote.listen()) std::fprintf(stderr, "volta: no remote control: %s\n", qPrintable(remote.error()));
  // Start-up measurements watch for this line.
  if (std::getenv("VOLTA_REPORT_FIRST_PAINT"))
    QObject::connect(&player, &volta::shell::MIDIApplication::firstPainted, [] {
      std::puts("first paint");
      std::fflush(stdout);
    });
  player.start(commandLine);
  return application.exec();
}
