// Playback control as the main window and the command dispatcher call it:
// the shared steps over the window's parts.
#pragma once

#include <windows.h>

#include "platform/text.h"
#include "playback/advance.h"

namespace zav2 {

struct PanelState;
struct PlaybackControls;
struct PlaylistView;
struct ResumeKeys;
struct Settings;
struct TaskbarState;

// The parts of the main window that playback works on, each by reference;
// app/ builds one for each call (playbackParts).
struct PlaybackParts {
    HWND window;
    PlaybackControls& playback;
    PlaylistView& list;
    PanelState& panel;
    TaskbarState& taskbar;
    Settings& settings;
    String& savedCaption;
    const int& displayMode;  // 1 normal, 2 maximised, 3 full screen
};

// PlayEntry with a copy of entry current and the window's settings.
PlayResult playCurrentEntry(const PlaybackParts& state);
// Advance from entry current, the origin being the current entry.
void advanceFromCurrent(const PlaybackParts& state, Direction direction, bool manual);
void advanceFrom(const PlaybackParts& state, Direction direction, bool manual, int origin);
// The play step followed by a forward, automatic advance when it skipped.
void playCurrentOrSkip(const PlaybackParts& state);
// The full read-out refresh after a handled command.
void refreshTimeDisplay(const PlaybackParts& state);
// Takes the duration of the loaded media and sets the seek bar's range.
void readDuration(const PlaybackParts& state);
// The loaded media's length in whole seconds as the engine reports it now: 0
// when stopped or unknown. What the list files write for the current entry.
int loadedMediaSeconds(const PlaybackParts& state);
// Opens the file again after its rename and plays on from `seconds`, with
// the same wait for the engine as a start.
void reopenAndResume(const PlaybackParts& state, StringView path, double seconds);
// After a command: lets go of the entry opened ahead only when it is no
// longer the next one (the list, the mode or the order changed). A click in
// the list or a volume key keeps it, and so the join stays clean.
void dropStalePreload(const PlaybackParts& state);
bool playerIsStopped();
bool playerIsPaused();
// Neither playing nor paused: closed, loaded or stopped.
bool playerIsIdle();

// Playback control and the display timer.
void stopAndReset(const PlaybackParts& state);
void onDisplayTimer(const PlaybackParts& state);
// The short timer that looks for the end of the media near it.
void onEndWatchTimer(const PlaybackParts& state);
void onSeekBarScroll(const PlaybackParts& state, WPARAM request);
void onVolumeSliderScroll(const PlaybackParts& state, WPARAM request);
void onEndOfMedia(const PlaybackParts& state);
void onMediaKey(const PlaybackParts& state, UINT virtualKey);
void onWheelOverPanel(const PlaybackParts& state, int delta);  // volume by the wheel
// After a path was opened (not a resume): stop, play entry current (skipping
// forward on failure), take the duration for the seek bar, set the volume.
void startPlaybackAfterOpen(const PlaybackParts& state);
// After the automatic list was resumed at start-up: the current entry is
// loaded, not played, and shown at the place it was closed at (or its kept
// place), so the read-out and the seek bar show where Play goes on from.
// `keys` are the ones saved at the last exit.
void showResumedPlace(const PlaybackParts& state, const ResumeKeys& keys);
// The current entry's position to store for the next start, in seconds.
int currentEntryPosition(const PlaybackParts& state);

}  // namespace zav2
