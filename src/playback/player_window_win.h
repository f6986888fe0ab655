// The one player as the main window starts, pauses and ends it.
#pragma once

#include <windows.h>

namespace zav2 {

// False when the player cannot be initialised; video goes to `videoHost`.
bool initializePlayer(HWND videoHost);
void shutDownPlayer();
void suspendFrames(bool suspended);
bool playerIsPlaying();

class TrackGains;
// The player asks `gains` for each file's gain from now on; with none, every
// file plays as it is.
void useTrackGains(TrackGains* gains);
// The loudness setting changed: the playing file takes its new gain.
void renewTrackGain();

}  // namespace zav2
