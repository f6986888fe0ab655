// Opening a path in the main window: the steps of an open that lay out the
// window, reload the panel, record the recent item and start playback, and
// the title reading that follows an open.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "platform/text.h"

namespace zav2 {

struct MainWindow;

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
// The start-up path or the resume list WM_INITDIALOG left for the loop.
void openAtStart(MainWindow& state);
void showOpenFileDialog(MainWindow& state);
void showOpenFolderDialog(MainWindow& state);
void dropFiles(MainWindow& state, HWND receiver, HDROP drop);

// One slice of the titles still to read, while no message waits and no entry
// is loading. True while more remain.
bool readTitlesWhileIdle(MainWindow& state);
// The open under way finished, then every title still to read, now, with
// progress in the caption.
void finishTitles(MainWindow& state);

}  // namespace zav2
