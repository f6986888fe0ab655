// Commands on the play list, the play mode, the list pane and display mode,
// and the plain setting toggles.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "app/main_window_win.h"
#include "resources/messages_win.h"
#include "playback/playback_window_win.h"
#include "settings/settings_apply_win.h"
#include "app/layout_calls_win.h"
#include "playlist/playlist_window_win.h"
#include "app/opening_win.h"
#include "ui/panel_win.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_win.h"
#include "resources/resource.h"
#include "ui/command_rules.h"
#include "app/list_commands_win.h"
#include "playback/player_window_win.h"

namespace zav2 {

namespace {

bool randomMode(const MainWindow& state) {
    return state.settings.Mode == Settings::kRandom;
}

void recompute(MainWindow& state) {
    if (!state.list.playlist.empty())
        recomputeOrder(state.list.playlist, randomMode(state));
}

void removeSelectedEntries(MainWindow& state) {
    ListBoxWindow listBox(state.list);
    if (listBox.selection().empty())
        return;
    WindowCaption caption(state.window);
    removeSelected(caption, listBox, state.list.playlist,
                   [&state] { stopAndReset(playbackParts(state)); });
    recompute(state);
    if (state.list.playlist.empty()) {
        releasePanelPictures(state.panel);
        state.savedCaption = L"Zav2";
    }
}

// The worker's order comes back as the sort command itself, with this
// notification code, so it passes the command's guard (a list to sort) and
// what follows every command, as a sort done at once would.
constexpr WORD kSortFound = 0x5A00;

void startSort(MainWindow& state) {
    const HWND window = state.window;
    state.list.sorting.start(state.list.playlist, [window] {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_SORT_LIST, kSortFound), 0);
    });
}

// Sorting 100,000 entries held the window for most of a second: the paths
// are sorted on a worker and the entries put in that order here in one step
// (current stays on its entry). An order found for a list that changed
// meanwhile is dropped and the list as it is now sorted again; a sort asked
// for while one runs takes its result, which is also how a result whose
// notification the guard dropped (the list was emptied meanwhile) is not
// waited for for ever.
void sortEntries(MainWindow& state, WORD notification) {
    if (notification != kSortFound && !state.list.sorting.running()) {
        startSort(state);
        return;
    }
    switch (state.list.sorting.finish(state.list.playlist)) {
        case BackgroundSort::Outcome::Sorted:
            break;
        case BackgroundSort::Outcome::Stale:
            startSort(state);
            return;
        case BackgroundSort::Outcome::Failed:
        case BackgroundSort::Outcome::Waiting:
            return;
    }
    recompute(state);
    ListBoxWindow listBox(state.list);
    WindowCaption caption(state.window);
    rebuildListBox(caption, listBox, state.list.playlist, state.settings.NoExt == 1);
    // The next tick reselects and reveals the current entry; it must run
    // while stopped too.
    state.listRefreshPending = true;
    SetTimer(state.window, kDisplayTimerId, kDisplayTimerMilliseconds, nullptr);
}

void filterEntries(MainWindow& state) {
    // The filter and the jump share one expression: F3 after a filter looks
    // for its text, and a cancelled dialog empties it.
    String& expression = state.list.jumpExpression;
    if (!runSearchDialog(state.module, state.window, kFilterDialogId, expression))
        return;
    finishTitles(state);  // the filter looks at the titles
    ListBoxWindow listBox(state.list);
    const bool currentDropped = filterPlaylist(state.list.playlist, listBox, expression);
    if (!state.list.playlist.empty()) {
        recompute(state);
        if (currentDropped)
            stopAndReset(playbackParts(state));
    } else {
        stopAndReset(playbackParts(state));
        releasePanelPictures(state.panel);
        state.savedCaption = L"Zav2";
    }
}

void jump(MainWindow& state, bool askFirst) {
    if (askFirst &&
        !runSearchDialog(state.module, state.window, kJumpDialogId, state.list.jumpExpression)) {
        return;
    }
    if (state.list.jumpExpression.empty() || state.list.playlist.empty())
        return;
    finishTitles(state);
    const int found =
        findNextMatch(state.list.playlist, state.list.playlist.current, state.list.jumpExpression);
    if (found < 0)
        return;
    stopAndReset(playbackParts(state));
    state.list.playlist.current = found;
    ListBoxWindow listBox(state.list);
    revealCurrent(listBox, found, randomMode(state), false);
    playCurrentEntry(playbackParts(state));  // no skip after a jump
    reloadPanel(state);
}

void randomJump(MainWindow& state) {
    if (state.list.playlist.empty())
        return;
    const int drawn = std::rand() % static_cast<int>(state.list.playlist.entries.size());
    state.list.playlist.current = drawn;
    advanceFrom(playbackParts(state), Direction::Forward, true, drawn);
    reloadPanel(state);
}

void setPlayMode(MainWindow& state, int mode) {
    state.settings.Mode = mode;
    const HMENU menu = state.commands.shownMenu(kPlayMenu);
    for (int m = Settings::kOrder; m <= Settings::kOnePass; ++m) {
        setMenuCheck(menu, playModeMenuItem(m), m == mode);
    }
    setButtonIcon(state.window, IDC_MODE_BUTTON, state.module, playModeIcon(mode));
    state.commands.buttonMenuLatch.clear();
    recompute(state);
}

// A toggle sets 1 when the flag was anything but 1, else 0, and mirrors it in
// its menu item.
int toggle(int& flag, HMENU menu, int item) {
    flag = toggledFlag(flag);
    setMenuCheck(menu, item, flag == 1);
    return flag;
}

}  // namespace

void onRemoveFromList(MainWindow& state, WORD, WORD) {
    removeSelectedEntries(state);
}

void onMoveSelection(MainWindow& state, WORD id, WORD) {
    moveSelectedEntries(state.list, id == IDM_MOVE_SELECTION_DOWN ? 1 : -1);
    recompute(state);
}

void onSelectAll(MainWindow& state, WORD, WORD) {
    ListBoxWindow listBox(state.list);
    selectAll(listBox);
}

void onSort(MainWindow& state, WORD, WORD notification) {
    sortEntries(state, notification);
}

void onSavePlaylist(MainWindow& state, WORD, WORD) {
    finishTitles(state);
    writePlaylistFile(state.window, state.list.playlist, state.list.currentFolder, false, {},
                      state.savedCaption, state.settings.NoExt == 1,
                      loadedMediaSeconds(playbackParts(state)));
}

void onFilter(MainWindow& state, WORD, WORD) {
    filterEntries(state);
}

void onJump(MainWindow& state, WORD id, WORD) {
    jump(state, id == IDM_JUMP);
}

void onRandomJump(MainWindow& state, WORD, WORD) {
    randomJump(state);
}

void onPlayModeChoice(MainWindow& state, WORD id, WORD) {
    setPlayMode(state, id == IDM_MODE_ORDER    ? Settings::kOrder
                       : id == IDM_MODE_RANDOM ? Settings::kRandom
                       : id == IDM_MODE_SINGLE ? Settings::kSingle
                                               : Settings::kOnePass);
}

void onReplayGainChoice(MainWindow& state, WORD id, WORD) {
    state.settings.ReplayGain = id - IDM_GAIN_OFF;
    const HMENU menu = state.commands.shownMenu(kTitleMenu);
    for (int item = IDM_GAIN_OFF; item <= IDM_GAIN_ALBUM; ++item)
        setMenuCheck(menu, item, item == id);
    state.playback.gains.setMode(replayGainMode(state.settings.ReplayGain));
    renewTrackGain();
}

void onNextPlayMode(MainWindow& state, WORD, WORD) {
    setPlayMode(state, nextPlayMode(state.settings.Mode));
}

void onNextDisplayMode(MainWindow& state, WORD, WORD) {
    cycleDisplayMode(state);
    layOutWindow(state);
}

void onToggleList(MainWindow& state, WORD, WORD) {
    Settings& settings = state.settings;
    settings.ListWidth = settings.ListWidth != 0 ? 0 : settings.DefaultListWidth;
    // A list that filled the window must hide too, and its button say so.
    state.layout.listFillsWindow = false;
    setButtonIcon(state.window, IDC_LIST_BUTTON, state.module,
                  listToggleIcon(settings.ListWidth, false, settings.LeftList == 1));
    layOutWindow(state);
}

// The plain toggles: the flag, its check mark, and what follows.
void onToggle(MainWindow& state, WORD id, WORD) {
    Settings& settings = state.settings;
    switch (id) {
        case IDM_SEARCH_SUBFOLDERS:
            toggle(settings.SearchSubFolder, state.commands.shownMenu(kOpenMenu), id);
            state.commands.buttonMenuLatch.clear();
            break;
        case IDM_IGNORE_ERROR:
            toggle(settings.IgnoreError, state.commands.shownMenu(kTitleMenu), id);
            break;
        case IDM_AFTER_ACTIVE:
            toggle(settings.AfterActive, state.commands.shownMenu(kTitleMenu), id);
            break;
        case IDM_SINGLE_CLICK_MODE:
            toggle(settings.SingleClickMode, state.commands.shownMenu(kListMenu), id);
            break;
        case IDM_HIDE_EXTENSION:
            toggle(settings.NoExt, state.commands.shownMenu(kListMenu), id);
            break;
        case IDM_DARK_MODE:
            // Everything takes the new colours: the whole window is repainted
            // at once, then laid out, which paints the panel's picture last.
            // A repaint left for later would erase the picture again.
            toggle(settings.DarkMode, state.commands.shownMenu(kTitleMenu), id);
            RedrawWindow(state.window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            layOutWindow(state);
            break;
    }
}

void showListContextMenu(MainWindow& state, POINT screenPoint) {
    POINT listPoint = screenPoint;
    ScreenToClient(state.list.listBox, &listPoint);
    state.commands.contextItem = std::max(listRowAtPoint(state.list.listBox, listPoint).row, 0);
    ListBoxWindow listBox(state.list);
    if (state.list.playlist.current >= 0)
        listBox.setSelected(state.list.playlist.current, false);
    const std::vector<int> selected = listBox.selection();
    const bool contextSelected =
        std::find(selected.begin(), selected.end(), state.commands.contextItem) != selected.end();
    if (!contextSelected && state.commands.contextItem <= state.list.playlist.lastIndex()) {
        revealCurrent(listBox, state.commands.contextItem, state.settings.Mode == Settings::kRandom,
                      true);
    }
    if (HMENU menu = state.commands.shownMenu(kListMenu)) {
        TrackPopupMenu(menu, 0, screenPoint.x, screenPoint.y, 0, state.window, nullptr);
    }
}

}  // namespace zav2
