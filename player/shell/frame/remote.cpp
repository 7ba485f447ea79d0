#include "player/shell/frame/remote.h"

#include <iostream>

#include "player/core/app/player_controller.h"
#include "player/shell/dde/dde_entry.h"
#include "player/shell/dde/dde_server.h"
#include "player/shell/dde/dde_socket.h"
#include "player/shell/frame/midi_application.h"

namespace volta::shell {

std::optional<int> offerToRunningPlayer(const app::CommandLine& commandLine) {
  using Kind = app::CommandLine::Kind;
  switch (commandLine.kind) {
    case Kind::kDdeCommand:
      return dde::runDdeCommand(commandLine.text);
    case Kind::kDdeRequest: {
      const std::size_t blank = commandLine.text.find(' ');
      std::optional<std::string> argument;
      if (blank != std::string::npos) argument = commandLine.text.substr(blank + 1);
      return dde::runDdeRequest(commandLine.text.substr(0, blank), argument, std::cout, std::cerr);
    }
    case Kind::kFile:
      return dde::handOver(commandLine.text, commandLine.hasModule ? "/M:" + commandLine.module : std::string());
    default:
      return std::nullopt;
  }
}

RemoteService::RemoteService(MIDIApplication& application)
    : server_(std::make_unique<dde::DdeServer>(application.controller().remote())) {
  QObject::connect(server_.get(), &dde::DdeServer::serving, &application, &MIDIApplication::setServingRemote);
}

RemoteService::~RemoteService() = default;

bool RemoteService::listen() {
  const auto path = dde::defaultSocketPath();
  if (!path) {
    error_ = QStringLiteral("no private folder for the remote-control socket");
    return false;
  }
  if (server_->listen(*path)) return true;
  error_ = server_->error();
  return false;
}

QString RemoteService::error() const {
  return error_;
}

}  // namespace volta::shell
