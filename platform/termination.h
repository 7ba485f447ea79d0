#pragma once
// Termination requests (SIGTERM, SIGINT, SIGHUP) turned into bytes on a pipe, so that a
// program's event loop ends through its ordinary exit path instead of dying in the middle
// of its work. The handlers stay installed for the life of the process: a second request
// while the program saves only adds another byte.

namespace volta::platform {

// Installs the handlers once; the pipe's read end (non-blocking), or -1 when no pipe could
// be made (the signals then keep their default action).
int terminationRequests();

// Takes the pending requests off the pipe; the last signal number, or 0 when none was pending.
int takeTerminationRequest(int readEnd);

}  // namespace volta::platform
