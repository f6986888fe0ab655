// Not built yet: the player. These answer as "nothing happened" so the
// main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

bool initializePlayer(MainWindow&) {
    return true;
}

void shutDownPlayer() {}

void suspendFrames(bool) {}

bool playerIsPlaying() {
    return false;
}

}  // namespace zav2
