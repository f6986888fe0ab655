// Not built yet: revealing the current entry through the play list's list-box
// mirror. Until then the entry is selected alone and scrolled into view by the
// list box itself; the real function replaces this file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void revealCurrentEntry(MainWindow& state) {
    const int current = state.playlist.current;
    if (current < 0)
        return;
    SendMessageW(state.listBox, LB_SETSEL, FALSE, -1);
    SendMessageW(state.listBox, LB_SETSEL, TRUE, current);
    SendMessageW(state.listBox, LB_SETCARETINDEX, current, FALSE);
}

}  // namespace zav2
