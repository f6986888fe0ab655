// The main window: dialog 101, its state and its dialog procedure.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "app/layout_win.h"
#include "settings/settings.h"
#include "settings/settings_apply_win.h"
#include "platform/text.h"
#include "playback/playback_controls_win.h"
#include "playback/playback_window_win.h"
#include "playlist/playlist_view_win.h"
#include "taskbar/taskbar_win.h"
#include "ui/command_state_win.h"
#include "ui/panel_state_win.h"
#include "ui/panel_win.h"

namespace zav2 {

// Program state: owned by the main window, passed by reference to the code
// that works on it. Created before the dialog and alive until the loop ends.
// Each subsystem keeps its part; what is left here is the window's own.
struct MainWindow {
    // Start-up facts.
    HINSTANCE module = nullptr;
    String instanceName;
    String programPath;

    HWND window = nullptr;  // dialog 101
    // Rectangles the dialog template produced, for the layout constants.
    RECT templateWindowRect{};
    RECT templateClientRect{};
    RECT templateListRect{};

    HWND callerWindow = nullptr;
    std::string forwardedCommandLine;  // ANSI bytes from the last WM_COPYDATA
    std::array<bool, 6> hotKeyRegistered{};
    String settingsPath;
    Settings settings;
    SettingsFonts fonts;  // outlive the controls that use them

    PlaylistView list;
    PlaybackControls playback;
    PanelState panel;
    CommandState commands;
    TaskbarState taskbar;

    bool listRefreshPending = true;
    String savedCaption = L"Zav2";
    RECT savedWindowRect{};
    int displayMode = 1;  // 1 normal, 2 maximised, 3 full screen
    LayoutState layout;
    ULONGLONG lastDisplayTick = 0;  // when the display timer's step last ran
};

// What the taskbar side needs of the window.
inline TaskbarOwner taskbarOwner(const MainWindow& state) {
    return {state.module, state.window, state.programPath, state.settingsPath};
}

// What playback works on.
inline PlaybackParts playbackParts(MainWindow& state) {
    return {state.window,  state.playback, state.list,         state.panel,
            state.taskbar, state.settings, state.savedCaption, state.displayMode};
}

// The panel for entry current, as the settings show it.
inline void reloadPanel(MainWindow& state) {
    reloadPanel(state.panel, state.list, state.window, state.settings.ShowText == 1);
}

// WM_TIMER comes only while no other message waits: clicks on the rows
// coming faster than a busy machine handled them held the display tick back
// two seconds, and with it the opening of the next entry ahead, so that a
// short entry's successor joined late. The message loop calls this after
// each message: the tick's playback step runs here once it is overdue.
void runOverdueDisplayTick(MainWindow& state);

// Creates dialog 101 modeless, shown with `showCommand`. Null on failure.
HWND createMainWindow(MainWindow& state, int showCommand);

}  // namespace zav2
