// The one player as the main window starts, pauses and ends it.
#pragma once

namespace zav2 {

struct MainWindow;

// Player (engine). False when the player cannot be initialised.
bool initializePlayer(MainWindow& state);
void shutDownPlayer();
void suspendFrames(bool suspended);
bool playerIsPlaying();

}  // namespace zav2
