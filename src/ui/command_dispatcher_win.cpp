// The command dispatcher: every button, menu item, accelerator and forwarded
// switch arrives here as a WM_COMMAND word.
#include <windows.h>

#include "app/messages_win.h"
#include "app/playback_calls_win.h"
#include "app/subsystem_calls_win.h"
#include "resources/resource.h"
#include "ui/capture_commands_win.h"
#include "ui/list_commands_win.h"

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

bool hasEntries(const MainWindow& state) {
    return !state.playlist.empty();
}

// Lowest selected row of the list box, -1 when nothing is selected.
int firstSelectedItem(const MainWindow& state) {
    int first = -1;
    if (SendMessageW(state.listBox, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) < 1)
        return -1;
    return first;
}

// Makes the row current when it is one of the list's.
void makeCurrent(MainWindow& state, int row) {
    if (row >= 0 && row <= state.playlist.lastIndex())
        state.playlist.current = row;
}

void stop(MainWindow& state) {
    if (hasEntries(state))
        stopAndReset(state);
}

void activate(MainWindow& state) {
    SetActiveWindow(state.window);
}

void restoreCaption(MainWindow& state) {
    SetWindowTextW(state.window, state.savedCaption.c_str());
}

void onListDoubleClick(MainWindow& state, WORD notification) {
    if (notification != LBN_DBLCLK || !hasEntries(state))
        return;
    stop(state);
    makeCurrent(state, firstSelectedItem(state));
    playCurrentOrSkip(state);
    RedrawWindow(state.listBox, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    layOutWindow(state);
    reloadPanel(state);
    SetTimer(state.window, kDisplayTimerId, kDisplayTimerMilliseconds, nullptr);
    activate(state);
}

void onPlayButton(MainWindow& state) {
    if (!hasEntries(state) || state.playlist.current == -1)
        return;
    const int before = state.playlist.current;
    const bool wasStopped = playerIsStopped();
    const int selected = firstSelectedItem(state);
    if (selected != -1 && selected != state.playlist.current) {
        stop(state);
        makeCurrent(state, selected);
    }
    // With the playing entry still selected this pauses or resumes it.
    playCurrentOrSkip(state);
    if (state.playlist.current != before || wasStopped)
        reloadPanel(state);
    activate(state);
}

void onStopButton(MainWindow& state) {
    if (!hasEntries(state))
        return;
    restoreCaption(state);
    stop(state);
}

void onStep(MainWindow& state, Direction direction) {
    if (!hasEntries(state))
        return;
    advanceFromCurrent(state, direction, true);
    reloadPanel(state);
    activate(state);
}

void onEnter(MainWindow& state) {
    if (!hasEntries(state))
        return;
    if (playerIsPlaying()) {
        restoreCaption(state);
        stop(state);
    } else {
        makeCurrent(state, firstSelectedItem(state));
        playCurrentOrSkip(state);
        reloadPanel(state);
    }
    activate(state);
}

bool runCommand(MainWindow& state, WPARAM command) {
    switch (LOWORD(command)) {
        case IDC_LIST:
            onListDoubleClick(state, HIWORD(command));
            return true;
        case IDC_PLAY_BUTTON:
            onPlayButton(state);
            return true;
        case IDC_STOP_BUTTON:
            // Answers "not handled": the read-out was reset by the stop itself.
            onStopButton(state);
            return false;
        case IDC_PREVIOUS_BUTTON:
            onStep(state, Direction::Backward);
            return true;
        case IDC_NEXT_BUTTON:
            onStep(state, Direction::Forward);
            return true;
        case IDM_PLAY_OR_STOP:
            onEnter(state);
            return true;
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
    if (auto capture = dispatchCaptureCommand(state, LOWORD(command)))
        return *capture;
    return dispatchListCommand(state, LOWORD(command)).value_or(false);
}

}  // namespace

bool dispatchCommand(MainWindow& state, WPARAM command) {
    const bool handled = runCommand(state, command);
    // Every handled command ends with the read-out in step with the player.
    if (handled && hasEntries(state) && IsWindow(state.window))
        refreshTimeDisplay(state);
    return handled;
}

}  // namespace zav2
