// Playback control as the main window and the command dispatcher call it:
// the shared steps over the window's state.
#pragma once

#include <windows.h>

#include "platform/text.h"
#include "playback/advance.h"

namespace zav2 {

struct MainWindow;

// PlayEntry with a copy of entry current and the window's settings.
PlayResult playCurrentEntry(MainWindow& state);
// Advance from entry current, the origin being the current entry.
void advanceFromCurrent(MainWindow& state, Direction direction, bool manual);
void advanceFrom(MainWindow& state, Direction direction, bool manual, int origin);
// The play step followed by a forward, automatic advance when it skipped.
void playCurrentOrSkip(MainWindow& state);
// The full read-out refresh after a handled command.
void refreshTimeDisplay(MainWindow& state);
// Takes the duration of the loaded media and sets the seek bar's range.
void readDuration(MainWindow& state);
// The loaded media's length in whole seconds as the engine reports it now: 0
// when stopped or unknown. What the list files write for the current entry.
int loadedMediaSeconds(const MainWindow& state);
// Opens the file again after its rename and plays on from `seconds`, with
// the same wait for the engine as a start.
void reopenAndResume(MainWindow& state, StringView path, double seconds);
// Lets go of the next entry opened ahead: what comes next may have changed.
void discardPreload();
bool playerIsStopped();
bool playerIsPaused();

// Playback control and the display timer.
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
// After the automatic list was resumed at start-up: the current entry is
// loaded, not played, and shown at the place it was closed at (or its kept
// place), so the read-out and the seek bar show where Play goes on from.
void showResumedPlace(MainWindow& state);
// The current entry's position to store for the next start, in seconds.
int currentEntryPosition(MainWindow& state);

}  // namespace zav2
