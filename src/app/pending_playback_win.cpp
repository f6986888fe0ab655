// Not built yet: playback control and the display timer. These answer as "nothing happened" so the
// main window runs without them; the real functions replace this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void stopAndReset(MainWindow&) {}

void onDisplayTimer(MainWindow&) {}

void onSeekBarScroll(MainWindow&, WPARAM) {}

void onVolumeSliderScroll(MainWindow&, WPARAM) {}

void onEndOfMedia(MainWindow&) {}

void onMediaKey(MainWindow&, UINT) {}

void onWheelOverPanel(MainWindow&, int) {}

void startPlaybackAfterOpen(MainWindow&) {}

}  // namespace zav2
