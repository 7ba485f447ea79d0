#include "player/shell/dde/dde_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include "player/core/temp_folder.h"

namespace volta::dde {

std::optional<QString> defaultSocketPath() {
  const auto folder = core::privateTempFolder();
  if (!folder) return std::nullopt;
  return QString::fromStdString((*folder / "dde.socket").string());
}

bool peerIsThisUser(qintptr socketDescriptor) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
  return peer.uid == getuid();
}

}  // namespace volta::dde
