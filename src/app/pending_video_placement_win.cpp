// Not built yet: placing the video by the display mode and ViewSize. Until
// then the video host fills the text panel while a video plays; the real function replaces this
// file.
#include "engine/media_engine_player.h"
// clang-format off
#include "app/subsystem_calls_win.h"
// clang-format on

namespace zav2 {

void placeVideoHost(MainWindow& state) {
    RECT panel{};
    GetClientRect(state.textPanel, &panel);
    MoveWindow(state.videoHost, 0, 0, panel.right, panel.bottom, TRUE);
    // Only a video covers the panel: clicks on a sound's panel reach it.
    ShowWindow(state.videoHost, player().HasVideo() ? SW_SHOW : SW_HIDE);
}

}  // namespace zav2
