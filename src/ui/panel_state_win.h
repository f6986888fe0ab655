// The text panel as the main window keeps it: the panel, the video host in
// it and the current entry's two pictures.
#pragma once

#include <windows.h>

#include "platform/handles_win.h"

namespace zav2 {

struct PanelState {
    HWND textPanel = nullptr;
    HWND videoHost = nullptr;
    UniqueBitmap picture1;
    UniqueBitmap picture2;
};

}  // namespace zav2
