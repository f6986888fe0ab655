// Not built yet: the play list. These answer as "nothing happened" so the
// main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

bool listIsEmpty(const MainWindow&) {
    return true;
}

void setCurrentEntry(MainWindow&, int) {}

void emptyList(MainWindow& state) {
    SendMessageW(state.listBox, LB_RESETCONTENT, 0, 0);
}

void reselectCurrentEntry(MainWindow&) {}

void saveResumeList(MainWindow&) {}

String currentEntryPath(const MainWindow&) {
    return {};
}

void moveSelectedEntries(MainWindow&, int) {}

void showListContextMenu(MainWindow&, POINT) {}

}  // namespace zav2
