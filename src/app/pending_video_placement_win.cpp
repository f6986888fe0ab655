// Not built yet: placing the video by the display mode and ViewSize. Until
// then the video host fills the text panel; the real function replaces this
// file.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void placeVideoHost(MainWindow& state) {
    RECT panel{};
    GetClientRect(state.textPanel, &panel);
    MoveWindow(state.videoHost, 0, 0, panel.right, panel.bottom, TRUE);
    ShowWindow(state.videoHost, SW_SHOW);
}

}  // namespace zav2
