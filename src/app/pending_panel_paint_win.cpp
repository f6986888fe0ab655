// Not built yet: painting the text panel's background and picture. The
// layout calls it at its end; until it exists the panel paints itself.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void paintPanelPicture(MainWindow&) {}

}  // namespace zav2
