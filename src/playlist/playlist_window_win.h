// The play list as the main window and the commands work on it: entry
// current, the resume list, the titles still to read and opening paths.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "platform/text.h"

namespace zav2 {

struct MainWindow;
struct PlaylistView;

// Play list.
bool listIsEmpty(const PlaylistView& list);
void setCurrentEntry(PlaylistView& list, int index);
void emptyList(MainWindow& state);  // select all and remove, caption "Zav2"
// Deselects every item, selects entry current and scrolls it to the top.
void reselectCurrentEntry(PlaylistView& list);
String currentEntryPath(const PlaylistView& list);  // "" when there is none
// One slice of the titles still to read, while no message waits. True while
// more remain.
bool readTitlesWhileIdle(MainWindow& state);
// Every title still to read, now, with progress in the caption.
void finishTitles(MainWindow& state);

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

// Play list: scrolls entry current into view (by the play mode) and selects
// it alone.
void revealCurrentEntry(MainWindow& state);

// List drag: +1 down, -1 up.
void moveSelectedEntries(PlaylistView& list, int towards);

}  // namespace zav2
