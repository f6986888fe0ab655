// The play list as the main window and the commands work on it: entry
// current, the titles still to read and the list's side of opening paths.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "platform/text.h"

namespace zav2 {

struct PlaylistView;

// Play list.
bool listIsEmpty(const PlaylistView& list);
void setCurrentEntry(PlaylistView& list, int index);
void emptyList(PlaylistView& list, HWND window);  // select all and remove
// Deselects every item, selects entry current and scrolls it to the top.
void reselectCurrentEntry(PlaylistView& list);
String currentEntryPath(const PlaylistView& list);  // "" when there is none
// The titles of the list's pending entries are read from now on: between
// messages, and on workers whose wake-ups post to `window`. Without
// `withWorker` the workers wait for startTitleWorker: giving it 100,000 paths
// takes a step of its own. With `keepAhead` the workers started on the walk
// (startWalkTitleWorker) read on.
void startTitleReading(PlaylistView& list, HWND window, bool withWorker = true,
                       bool keepAhead = false);
void startTitleWorker(PlaylistView& list, HWND window);
// The workers start on the files a folder's walk found, before they are
// sorted and listed.
void startWalkTitleWorker(PlaylistView& list, HWND window);
// One slice of the titles still to read, while no message waits, unless
// `window` is gone. True while more remain.
bool readTitlesWhileIdle(PlaylistView& list, HWND window, bool noExt);
// Every title still to read, now, with progress in `window`'s caption.
void finishTitles(PlaylistView& list, HWND window, bool noExt);

// Opening paths: the list's side. The open-file and folder dialogs answer
// the chosen path, nothing when cancelled; the folder dialog starts at
// `last`, a copy, as it points at it while messages run.
std::optional<String> chooseFileToOpen(HWND owner);
std::optional<String> chooseFolderToOpen(HWND owner, String last);
// Path `index` of a drop; empty when it is longer than the program's paths.
String droppedPath(HDROP drop, UINT index);
// Selects entry current alone and scrolls it to the top.
void selectCurrentAtTop(PlaylistView& list);
// Reads the rest of an open's folder or list file and puts the entries into
// the list.
void completeWalk(PlaylistView& list, bool randomMode);
// For the exit, without rows or playback: a folder's walk stops where it is,
// a list file is read to its end, and that is the list the exit writes.
void finishWalkForExit(PlaylistView& list, bool randomMode);

// Play list: scrolls entry current into view (by the play mode) and selects
// it alone.
void revealCurrentEntry(PlaylistView& list, bool randomMode);

// List drag: +1 down, -1 up.
void moveSelectedEntries(PlaylistView& list, int towards);

}  // namespace zav2
