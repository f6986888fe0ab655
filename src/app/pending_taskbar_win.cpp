// Not built yet: the taskbar buttons and the jump list. These answer as "nothing happened" so the
// main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void buildJumpList(MainWindow&) {}

void addThumbnailButtons(MainWindow&) {}

}  // namespace zav2
