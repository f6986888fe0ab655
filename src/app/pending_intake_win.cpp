// Not built yet: opening files, folders and drops. These answer as "nothing happened" so the
// main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

#include <shellapi.h>

namespace zav2 {

void openPath(MainWindow&, const String&, OpenedBy) {}

void showOpenFileDialog(MainWindow&) {}

void showOpenFolderDialog(MainWindow&) {}

void dropFiles(MainWindow&, HWND, HDROP drop) {
    DragFinish(drop);
}

}  // namespace zav2
