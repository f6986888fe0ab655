// Opening a path in the main window: the steps of an open that lay out the
// window, reload the panel, record the recent item and start playback, and
// the title reading that follows an open.
#pragma once

namespace zav2 {

struct MainWindow;

// One slice of the titles still to read, while no message waits and no entry
// is loading. True while more remain.
bool readTitlesWhileIdle(MainWindow& state);
// The open under way finished, then every title still to read, now, with
// progress in the caption.
void finishTitles(MainWindow& state);

}  // namespace zav2
