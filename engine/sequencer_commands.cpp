#include "engine/dispatcher.h"

namespace volta::engine {

std::uint32_t dispatchSequencerCommand(void*) { return 0; }

}  // namespace volta::engine
