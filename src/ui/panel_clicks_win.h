// What the text panel and the video host share: a click pauses or resumes,
// a double-click (which the main window turns into the next display mode)
// keeps playing, and the wheel, scroll and keys either scroll the panel's
// text or go to the main window.
#pragma once

#include <windows.h>

namespace zav2 {

struct ClickToPause {
    bool pressed = false;        // pressed, and not dragged since
    bool pausedByClick = false;  // the last click paused

    // A release after a press: playing pauses, paused plays.
    void release();
    // The first click of the pair paused: play on.
    void doubleClick();
};

// The presses, releases, double-clicks, wheel, scroll and keys over the panel
// or the video. True when the message is taken (its answer is 0) and must not
// reach the control. `window`: the main window, which takes what the panel
// passes on.
bool takePanelInput(ClickToPause& toPause, HWND window, HWND textPanel, UINT message, WPARAM wParam,
                    LPARAM lParam);

}  // namespace zav2
