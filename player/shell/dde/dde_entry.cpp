#include "player/shell/dde/dde_entry.h"

#include <QCoreApplication>
#include <iostream>

#include "player/core/dde/dde_commands.h"
#include "player/shell/dde/dde_client.h"

namespace volta::dde {
namespace {

// Sockets want an application object; the program has none yet when it hands over.
class ApplicationForTheCall {
 public:
  ApplicationForTheCall() {
    if (!QCoreApplication::instance()) own_.emplace(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[6] = "volta";
  char* argv_[2] = {name_, nullptr};
  std::optional<QCoreApplication> own_;
};

constexpr std::string_view kModulePrefix = "/M:";

}  // namespace

std::optional<int> runDdeCommand(const std::string& command) {
  const ApplicationForTheCall application;
  MIDIDDEClient client;
  if (!client.connected()) return std::nullopt;
  const auto answer = client.executeAnswer(command);
  if (answer == FrameType::Acknowledged) return 0;
  std::cerr << (answer ? "volta: the player did not process the command\n"
                       : "volta: the player did not answer in time\n");
  return 1;
}

std::optional<std::string> handOverCommand(const std::string& absolutePath, const std::string& secondArgument) {
  if (absolutePath.find('"') != std::string::npos) return std::nullopt;
  std::string command = "PlayFile \"" + absolutePath + "\"";
  if (secondArgument.starts_with(kModulePrefix)) command += secondArgument.substr(kModulePrefix.size());
  if (!parseCommand(command)) return std::nullopt;
  return command;
}

std::optional<int> handOver(const std::string& absolutePath, const std::string& secondArgument) {
  const auto command = handOverCommand(absolutePath, secondArgument);
  if (!command) return std::nullopt;
  return runDdeCommand(*command);
}

int runDdeRequest(const std::string& item, const std::optional<std::string>& argument, std::ostream& out,
                  std::ostream& err) {
  const ApplicationForTheCall application;
  MIDIDDEClient client;
  if (!client.connected()) {
    err << "volta: no player is running\n";
    return 1;
  }
  const auto reply = client.request(argument ? item + " " + *argument : item);
  if (!reply) return 1;
  out << *reply << '\n';
  return 0;
}

}  // namespace volta::dde
