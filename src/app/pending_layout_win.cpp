// Not built yet: the window layout and display modes. These answer as
// "nothing happened" so the main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void layOutWindow(MainWindow&) {}

void cycleDisplayMode(MainWindow&) {}

bool onSplitterMessage(MainWindow&, UINT, WPARAM, LPARAM) {
    return false;
}

void onGetMinMaxInfo(MainWindow&, MINMAXINFO&) {}

void onSizing(MainWindow&, WPARAM, RECT&) {}

}  // namespace zav2
