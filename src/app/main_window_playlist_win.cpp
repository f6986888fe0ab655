// The main window's steps on the play list and its list box.
#include <windowsx.h>

#include "app/command_line.h"
#include "app/playback_calls_win.h"
#include "app/subsystem_calls_win.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_win.h"

namespace zav2 {

bool listIsEmpty(const MainWindow& state) {
    return state.playlist.empty();
}

void setCurrentEntry(MainWindow& state, int index) {
    state.playlist.current = index;
}

void emptyList(MainWindow& state) {
    ListBoxWindow listBox(state.listBox);
    WindowCaption caption(state.window);
    selectAll(listBox);
    removeSelected(caption, listBox, state.playlist, [] {});
    state.savedCaption = L"Zav2";
}

void reselectCurrentEntry(MainWindow& state) {
    ListBoxWindow listBox(state.listBox);
    listBox.clearSelection();
    if (state.playlist.current < 0)
        return;
    listBox.setSelected(state.playlist.current, true);
    listBox.setTopIndex(state.playlist.current);
}

void revealCurrentEntry(MainWindow& state) {
    if (state.playlist.current < 0)
        return;
    ListBoxWindow listBox(state.listBox);
    revealCurrent(listBox, state.playlist.current, state.settings.Mode == Settings::kRandom, false);
}

void saveResumeList(MainWindow& state) {
    const String target = resumeListPath(state.programPath, state.instanceName);
    writePlaylistFile(state.window, state.playlist, state.currentFolder, true, target,
                      state.savedCaption, state.settings.NoExt == 1, loadedMediaSeconds(state));
}

void onResumeTimer(MainWindow& state) {
    if (state.playlist.empty() || !state.settings.loaded)
        return;
    if (!state.resumeSchedule.due(state.playlist, static_cast<int64_t>(GetTickCount64())))
        return;
    // Not retried before the next change (a full disk would be written to four
    // times a second); the exit writes the list once more anyway.
    state.resumeSchedule.written(resumeFingerprint(state.playlist));
    const String target = resumeListPath(state.programPath, state.instanceName);
    if (writeResumeList(target, state.playlist, state.settings.NoExt == 1,
                        loadedMediaSeconds(state))) {
        saveResumeKeys(state.settingsPath, {state.currentFolder, currentEntryPath(state)});
    }
}

String currentEntryPath(const MainWindow& state) {
    const Playlist& list = state.playlist;
    if (list.current < 0 || list.current > list.lastIndex())
        return {};
    return list.entries[static_cast<size_t>(list.current)].path;
}

void moveSelectedEntries(MainWindow& state, int towards) {
    ListBoxWindow listBox(state.listBox);
    if (towards > 0)
        moveSelectedDown(listBox, state.playlist);
    else
        moveSelectedUp(listBox, state.playlist);
}

void showListContextMenu(MainWindow& state, POINT screenPoint) {
    POINT listPoint = screenPoint;
    ScreenToClient(state.listBox, &listPoint);
    const LRESULT answer =
        SendMessageW(state.listBox, LB_ITEMFROMPOINT, 0, MAKELPARAM(listPoint.x, listPoint.y));
    state.contextItem = LOWORD(answer);
    ListBoxWindow listBox(state.listBox);
    if (state.playlist.current >= 0)
        listBox.setSelected(state.playlist.current, false);
    const std::vector<int> selected = listBox.selection();
    const bool contextSelected =
        std::find(selected.begin(), selected.end(), state.contextItem) != selected.end();
    if (!contextSelected && state.contextItem <= state.playlist.lastIndex()) {
        revealCurrent(listBox, state.contextItem, state.settings.Mode == Settings::kRandom, true);
    }
    if (HMENU menu = state.shownMenu(kListMenu)) {
        TrackPopupMenu(menu, 0, screenPoint.x, screenPoint.y, 0, state.window, nullptr);
    }
}

}  // namespace zav2
