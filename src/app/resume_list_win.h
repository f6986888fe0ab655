// The resume list as the main window writes it: at the exit and on the resume
// timer. It holds the playing entry's length, which only the player knows.
#pragma once

namespace zav2 {

struct MainWindow;

void saveResumeList(MainWindow& state);
// The resume list and its keys, a little after the list last changed, so a
// crash loses at most the last few seconds.
void onResumeTimer(MainWindow& state);

}  // namespace zav2
