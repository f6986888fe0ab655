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
// After a command: lets go of the entry opened ahead only when it is no
// longer the next one (the list, the mode or the order changed). A click in
// the list or a volume key keeps it, and so the join stays clean.
void dropStalePreload(MainWindow& state);
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

}  // namespace zav2
