#pragma once
// Where the player listens for remote control, and who may talk to it.

#include <QString>
#include <optional>

namespace volta::dde {

// "dde.socket" in the user's private folder ($XDG_RUNTIME_DIR/volta, else a 0700
// folder in /tmp); none when no safe folder can be had.
std::optional<QString> defaultSocketPath();

// True when the process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr socketDescriptor);

}  // namespace volta::dde
