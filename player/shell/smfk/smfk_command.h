#pragma once
// The "SMF Knife" command: the dialog for the list's selected song (else the current
// one), its "Play a converted file" box kept in the entry and the list marked changed.

class QWidget;

namespace volta::app {
class PlayerController;
}
namespace volta::core {
class PlayerSetup;
}

namespace volta::shell {

// Nothing happens for an empty list or a song inside an archive.
void runSmfKnifeDialog(app::PlayerController& controller, const core::PlayerSetup& setup, int selectedRow,
                       QWidget* parent);

}  // namespace volta::shell
