// The one player as the main window starts, pauses and ends it.
#pragma once

#include <windows.h>

namespace zav2 {

// False when the player cannot be initialised; video goes to `videoHost`.
bool initializePlayer(HWND videoHost);
void shutDownPlayer();
void suspendFrames(bool suspended);
bool playerIsPlaying();

}  // namespace zav2
