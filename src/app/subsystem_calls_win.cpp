// Seams between the main window and the subsystems that are not built yet.
// Each answers as "nothing happened"; a subsystem that arrives replaces its
// functions here with calls into its own code.
#include "app/subsystem_calls_win.h"

#include <shellapi.h>

namespace zav2 {

bool initializePlayer(MainWindow&) {
    return true;
}
void shutDownPlayer() {}
void suspendFrames(bool) {}
bool playerIsPlaying() {
    return false;
}

bool listIsEmpty(const MainWindow&) {
    return true;
}
void setCurrentEntry(MainWindow&, int) {}
void emptyList(MainWindow& state) {
    SendMessageW(state.listBox, LB_RESETCONTENT, 0, 0);
}
void reselectCurrentEntry(MainWindow&) {}
void saveResumeList(MainWindow&) {}

void determineSettingsPath(MainWindow&) {}
void loadWindowPlacement(MainWindow&) {}
void loadRemainingSettings(MainWindow&) {}
void loadCaptureFolder(MainWindow&) {}
void saveSettings(MainWindow&) {}
bool afterActiveEnabled(const MainWindow&) {
    return false;
}
int programVolume(const MainWindow&) {
    return 0;
}

void openPath(MainWindow&, const String&, OpenedBy) {}
void showOpenFileDialog(MainWindow&) {}
void showOpenFolderDialog(MainWindow&) {}
void dropFiles(MainWindow&, HWND, HDROP drop) {
    DragFinish(drop);
}

void stopAndReset(MainWindow&) {}
void onDisplayTimer(MainWindow&) {}
void onSeekBarScroll(MainWindow&, WPARAM) {}
void onVolumeSliderScroll(MainWindow&, WPARAM) {}
void onEndOfMedia(MainWindow&) {}
void onMediaKey(MainWindow&, UINT) {}
void onWheelOverPanel(MainWindow&, int) {}

void layOutWindow(MainWindow&) {}
void cycleDisplayMode(MainWindow&) {}
bool onSplitterMessage(MainWindow&, UINT, WPARAM, LPARAM) {
    return false;
}
void onGetMinMaxInfo(MainWindow&, MINMAXINFO&) {}
void onSizing(MainWindow&, WPARAM, RECT&) {}
void subclassVideoHost(MainWindow&) {}
void subclassSeekBar(MainWindow&) {}
void subclassPanelAndList(MainWindow&) {}
void subclassVolumeSlider(MainWindow&) {}
void drawListItem(MainWindow&, const DRAWITEMSTRUCT&) {}
void drawOpenMenuItem(MainWindow&, const DRAWITEMSTRUCT&) {}
void moveSelectedEntries(MainWindow&, int) {}
void showListContextMenu(MainWindow&, POINT) {}

void buildJumpList(MainWindow&) {}
void addThumbnailButtons(MainWindow&) {}

}  // namespace zav2
