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
void emptyList(PlaylistView& list, HWND window);  // select all and remove
// Deselects every item, selects entry current and scrolls it to the top.
void reselectCurrentEntry(PlaylistView& list);
String currentEntryPath(const PlaylistView& list);  // "" when there is none
// One slice of the titles still to read, while no message waits, unless
// `window` is gone. True while more remain.
bool readTitlesWhileIdle(PlaylistView& list, HWND window, bool noExt);
// Every title still to read, now, with progress in `window`'s caption.
void finishTitles(PlaylistView& list, HWND window, bool noExt);

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
void revealCurrentEntry(PlaylistView& list, bool randomMode);

// List drag: +1 down, -1 up.
void moveSelectedEntries(PlaylistView& list, int towards);

}  // namespace zav2
