// What the main window keeps for its layout between messages.
#pragma once

#include <windows.h>

#include "app/layout.h"
#include "settings/settings.h"
#include "platform/handles_win.h"

namespace zav2 {

struct LayoutState {
    LayoutConstants constants;
    bool constantsKnown = false;   // taken once, from the template's rectangles
    bool listFillsWindow = false;  // kept while the window is resized
    bool splitterHover = false;    // the pointer rests on the pane boundary
    bool splitterDrag = false;     // the boundary is being dragged
    Edges normalWindow;            // where full screen returns to (screen)
    UniqueFont dialogFont;         // the template's font, made again after a DPI change
    ListRows rows;                 // measured at every layout outside full screen
};

}  // namespace zav2
