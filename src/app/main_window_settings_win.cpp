// The main window's settings steps: where the file is, what is loaded into
// the window at start-up and what is written back at exit.
#include "playlist/playlist_window_win.h"
#include "app/settings_calls_win.h"
#include "app/main_window_win.h"
#include "playback/engine_player_win.h"
#include "playback/player_window_win.h"

namespace zav2 {

void determineSettingsPath(MainWindow& state) {
    state.settingsPath = settingsFilePath(state.programPath, state.instanceName);
}

void loadWindowPlacement(MainWindow& state) {
    loadPlacement(state.settingsPath, state.window,
                  state.templateWindowRect.right - state.templateWindowRect.left, state.settings);
}

void loadRemainingSettings(MainWindow& state) {
    SettingsWindow target;
    target.module = state.module;
    target.window = state.window;
    target.textPanel = state.panel.textPanel;
    target.listBox = state.list.listBox;
    target.menus = {state.commands.shownMenu(kListMenu), state.commands.shownMenu(kMasterMenu),
                    state.commands.shownMenu(kPlayMenu), state.commands.shownMenu(kTitleMenu),
                    state.commands.shownMenu(kTextMenu), state.commands.shownMenu(kOpenMenu)};
    loadSettings(state.settingsPath, target, state.playback.masterVolume.Get(), state.fonts,
                 state.settings);
    // The player takes the volume now, not at the first play: a media key or
    // a resume may start playback without touching the slider.
    EnginePlayer enginePlayer;
    enginePlayer.setVolume(state.settings.Volume / 1000.0);
    state.playback.gains.setMode(replayGainMode(state.settings.ReplayGain));
    useTrackGains(&state.playback.gains);
}

void loadCaptureFolder(MainWindow& state) {
    loadCaptureDir(state.settingsPath, state.settings);
}

void saveSettings(MainWindow& state, int nowPosition) {
    saveSettings(
        state.settingsPath, state.settings, state.window, state.displayMode, state.savedWindowRect,
        {state.list.currentFolder, currentEntryPath(state.list), nowPosition}, state.layout.rows);
}

bool afterActiveEnabled(const MainWindow& state) {
    return state.settings.AfterActive == 1;
}

int programVolume(const MainWindow& state) {
    return state.settings.Volume;
}

}  // namespace zav2
