// The command dispatcher: every button, menu item, accelerator and forwarded
// switch arrives here as a WM_COMMAND word.
#include <windows.h>

#include "app/messages_win.h"
#include "app/subsystem_calls_win.h"
#include "resources/resource.h"

namespace zav2 {

namespace {

// Buttons 1005 and 1011 share one latch: a click while its menu was just
// dismissed only clears it, so clicking the button again closes the menu.
void showButtonMenu(MainWindow& state, int buttonId, MenuIndex menu) {
    if (state.buttonMenuLatch) {
        state.buttonMenuLatch = false;
        return;
    }
    RECT button{};
    GetWindowRect(GetDlgItem(state.window, buttonId), &button);
    if (HMENU shown = state.shownMenu(menu)) {
        TrackPopupMenu(shown, 0, button.left, button.bottom, 0, state.window, nullptr);
    }
    state.buttonMenuLatch = true;
}

}  // namespace

bool dispatchCommand(MainWindow& state, WPARAM command) {
    switch (LOWORD(command)) {
        case IDM_CLOSE:
            SendMessageW(state.window, WM_CLOSE, 0, 0);
            return true;
        case IDC_OPEN_BUTTON:
            showButtonMenu(state, IDC_OPEN_BUTTON, kOpenMenu);
            return true;
        case IDC_MODE_BUTTON:
            showButtonMenu(state, IDC_MODE_BUTTON, kPlayMenu);
            return true;
        case IDM_OPEN_FILE:
            state.buttonMenuLatch = false;
            PostMessageW(state.window, kMessageOpenFileDialog, 0, 0);
            return true;
        case IDM_OPEN_FOLDER:
            state.buttonMenuLatch = false;
            PostMessageW(state.window, kMessageOpenFolderDialog, 0, 0);
            return true;
    }
    return false;
}

}  // namespace zav2
