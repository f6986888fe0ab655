// Opening a path in the main window, and the title reading after it.
#include "app/opening_win.h"

#include "app/main_window_win.h"
#include "playlist/playlist_window_win.h"

namespace zav2 {

bool readTitlesWhileIdle(MainWindow& state) {
    if (state.playback.entryLoading)
        return false;
    return readTitlesWhileIdle(state.list, state.window, state.settings.NoExt == 1);
}

void finishTitles(MainWindow& state) {
    finishOpening(state);
    finishTitles(state.list, state.window, state.settings.NoExt == 1);
}

}  // namespace zav2
