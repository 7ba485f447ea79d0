#include "engine/dispatcher.h"

namespace volta::engine {

std::uint32_t dispatchOutputCommand(void*) { return 0; }

}  // namespace volta::engine
