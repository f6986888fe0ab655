// What the main window keeps for its layout between messages.
#pragma once

#include "app/layout.h"

namespace zav2 {

struct LayoutState {
    LayoutConstants constants;
    bool constantsKnown = false;   // taken once, from the template's rectangles
    bool listFillsWindow = false;  // kept while the window is resized
    bool splitterHover = false;    // the pointer rests on the pane boundary
    bool splitterDrag = false;     // the boundary is being dragged
    Edges normalWindow;            // where full screen returns to (screen)
};

}  // namespace zav2
