#pragma once
// The list window's row for a play-list entry.

#include "player/core/midi_file.h"
#include "player/shell/frame/file_list.h"

namespace volta::shell {

// spaceCut: runs of blanks in the title shown as one ("SpaceCut").
FileListRow listRow(const core::MIDIFile& entry, bool spaceCut);

}  // namespace volta::shell
