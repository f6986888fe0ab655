// The calls the main window makes into the other subsystems, one function
// per step. Where a subsystem is not built yet its function does nothing and
// says so by its answer: nothing here pretends to work.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/main_window_win.h"
#include "taskbar/taskbar_win.h"

namespace zav2 {

// Player (engine). False when the player cannot be initialised.
bool initializePlayer(MainWindow& state);
void shutDownPlayer();
void suspendFrames(bool suspended);
bool playerIsPlaying();

// Play list.
bool listIsEmpty(const MainWindow& state);
void setCurrentEntry(MainWindow& state, int index);
void emptyList(MainWindow& state);  // select all and remove, caption "Zav2"
// Deselects every item, selects entry current and scrolls it to the top.
void reselectCurrentEntry(MainWindow& state);
void saveResumeList(MainWindow& state);
// The resume list and its keys, a little after the list last changed, so a
// crash loses at most the last few seconds.
void onResumeTimer(MainWindow& state);
String currentEntryPath(const MainWindow& state);  // "" when there is none
// One slice of the titles still to read, while no message waits. True while
// more remain.
bool readTitlesWhileIdle(MainWindow& state);
// Every title still to read, now, with progress in the caption.
void finishTitles(MainWindow& state);

// Settings.
void determineSettingsPath(MainWindow& state);
void loadWindowPlacement(MainWindow& state);
void loadRemainingSettings(MainWindow& state);
void loadCaptureFolder(MainWindow& state);
void saveSettings(MainWindow& state);
bool afterActiveEnabled(const MainWindow& state);
int programVolume(const MainWindow& state);  // 0 ... 1000

// Opening paths.
enum class OpenedBy {
    CommandLine,
    ResumeAtStartUp,
    FileDialog,
    FolderDialog,
    DropOutsideList,
    Forwarded
};
void openPath(MainWindow& state, const String& path, OpenedBy how);
// Walks on with an open's folder for a short slice; answers whether it goes
// on. finishOpening walks the rest at once, for commands that need the list.
bool continueOpening(MainWindow& state);
void finishOpening(MainWindow& state);
// The rest of the walk into the list, without rows or playback: the exit
// writes the list the open was making.
void finishWalkForExit(MainWindow& state);
// The start-up path or the resume list WM_INITDIALOG left for the loop.
void openAtStart(MainWindow& state);
void showOpenFileDialog(MainWindow& state);
void showOpenFolderDialog(MainWindow& state);
void dropFiles(MainWindow& state, HWND receiver, HDROP drop);

// Commands, playback control and the display timer.
bool dispatchCommand(MainWindow& state, WPARAM command);
void stopAndReset(MainWindow& state);
void onDisplayTimer(MainWindow& state);
// The short timer that looks for the end of the media near it.
void onEndWatchTimer(MainWindow& state);
void onSeekBarScroll(MainWindow& state, WPARAM request);
void onVolumeSliderScroll(MainWindow& state, WPARAM request);
void onEndOfMedia(MainWindow& state);
void onMediaKey(MainWindow& state, UINT virtualKey);
void onWheelOverPanel(MainWindow& state, int delta);  // volume by the wheel
// After a path was opened (not a resume): stop, play entry current (skipping
// forward on failure), take the duration for the seek bar, set the volume.
void startPlaybackAfterOpen(MainWindow& state);

// Play list: scrolls entry current into view (by the play mode) and selects
// it alone.
void revealCurrentEntry(MainWindow& state);

// Places the video host in the text panel for the display mode and ViewSize.
void placeVideoHost(MainWindow& state);

// Paints the text panel's background and picture after a layout.
void paintPanelPicture(MainWindow& state);

// Text panel: frees pictures 1 and 2 and loads the companion text, lyrics
// and pictures of entry current.
void reloadPanel(MainWindow& state);

// Layout, panels and drawing.
// `refreshInput`: the list-refresh-pending flag when laying out for WM_SIZE;
// it keeps the right-hand controls of a narrow window shown.
void layOutWindow(MainWindow& state, bool refreshInput = false);
// After the fonts are loaded: at a DPI other than 96 the window's height is
// set so the list shows the whole rows the saved height shows at 96 DPI.
void keepListRows(MainWindow& state);
void cycleDisplayMode(MainWindow& state);
bool onSplitterMessage(MainWindow& state, UINT message, WPARAM wParam, LPARAM lParam);
void onGetMinMaxInfo(MainWindow& state, MINMAXINFO& info);
void onSizing(MainWindow& state, WPARAM edge, RECT& rect);
// Moved to a monitor of another DPI (or the DPI changed): the controls, the
// layout's constants and the list widths follow the new DPI, the window takes
// the rectangle offered, icons and fonts are loaded again, and it is laid out.
void onDpiChanged(MainWindow& state, int dpi, const RECT& suggested);
void subclassVideoHost(MainWindow& state);
void subclassSeekBar(MainWindow& state);
void subclassPanelAndList(MainWindow& state);
void subclassVolumeSlider(MainWindow& state);
void drawListItem(MainWindow& state, const DRAWITEMSTRUCT& item);
void drawOpenMenuItem(MainWindow& state, const DRAWITEMSTRUCT& item);
void moveSelectedEntries(MainWindow& state, int towards);  // list drag: +1 down, -1 up
void showListContextMenu(MainWindow& state, POINT screenPoint);

// Taskbar.
inline TaskbarOwner taskbarOwner(const MainWindow& state) {
    return {state.module, state.window, state.programPath, state.settingsPath};
}

}  // namespace zav2
