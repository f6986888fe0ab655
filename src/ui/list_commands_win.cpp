// Commands on the play list, the play mode, the list pane and display mode,
// and the plain setting toggles.
#include <windows.h>

#include <cstdlib>

#include "app/playback_calls_win.h"
#include "app/settings_apply_win.h"
#include "app/subsystem_calls_win.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_win.h"
#include "resources/resource.h"
#include "ui/list_commands_win.h"

namespace zav2 {

namespace {

bool randomMode(const MainWindow& state) {
    return state.settings.Mode == Settings::kRandom;
}

void recompute(MainWindow& state) {
    if (!state.playlist.empty())
        recomputeOrder(state.playlist, randomMode(state));
}

void forgetPictures(MainWindow& state) {
    state.picture1.reset();
    state.picture2.reset();
}

void removeSelectedEntries(MainWindow& state) {
    ListBoxWindow listBox(state.listBox);
    if (listBox.selection().empty())
        return;
    WindowCaption caption(state.window);
    removeSelected(caption, listBox, state.playlist, [&state] { stopAndReset(state); });
    recompute(state);
    if (state.playlist.empty()) {
        forgetPictures(state);
        state.savedCaption = L"Zav2";
    }
}

void sortEntries(MainWindow& state) {
    sortPlaylist(state.playlist);  // keeps current on its entry
    recompute(state);
    ListBoxWindow listBox(state.listBox);
    WindowCaption caption(state.window);
    rebuildListBox(caption, listBox, state.playlist, state.settings.NoExt == 1);
    state.listRefreshPending = true;  // the timer reselects the current entry
}

void filterEntries(MainWindow& state) {
    String expression;
    if (!runSearchDialog(state.module, state.window, kFilterDialogId, expression))
        return;
    if (expression.empty())
        return;
    ListBoxWindow listBox(state.listBox);
    const bool currentDropped = filterPlaylist(state.playlist, listBox, expression);
    if (!state.playlist.empty()) {
        recompute(state);
        if (currentDropped)
            stopAndReset(state);
    } else {
        stopAndReset(state);
        forgetPictures(state);
        state.savedCaption = L"Zav2";
    }
}

void jump(MainWindow& state, bool askFirst) {
    if (askFirst &&
        !runSearchDialog(state.module, state.window, kJumpDialogId, state.jumpExpression)) {
        return;
    }
    if (state.jumpExpression.empty() || state.playlist.empty())
        return;
    const int found = findNextMatch(state.playlist, state.playlist.current, state.jumpExpression);
    if (found < 0)
        return;
    stopAndReset(state);
    state.playlist.current = found;
    ListBoxWindow listBox(state.listBox);
    revealCurrent(listBox, found, randomMode(state), false);
    playCurrentEntry(state);  // no skip after a jump
    reloadPanel(state);
}

void randomJump(MainWindow& state) {
    if (state.playlist.empty())
        return;
    const int drawn = std::rand() % static_cast<int>(state.playlist.entries.size());
    state.playlist.current = drawn;
    advanceFrom(state, Direction::Forward, true, drawn);
    reloadPanel(state);
}

void setPlayMode(MainWindow& state, int mode) {
    state.settings.Mode = mode;
    const HMENU menu = state.shownMenu(kPlayMenu);
    for (int m = Settings::kOrder; m <= Settings::kOnePass; ++m) {
        setMenuCheck(menu, playModeMenuItem(m), m == mode);
    }
    setButtonIcon(state.window, IDC_MODE_BUTTON, state.module, playModeIcon(mode));
    state.buttonMenuLatch = false;
    recompute(state);
}

// A toggle sets 1 when the flag was anything but 1, else 0, and mirrors it in
// its menu item.
int toggle(int& flag, HMENU menu, int item) {
    flag = flag == 1 ? 0 : 1;
    setMenuCheck(menu, item, flag == 1);
    return flag;
}

}  // namespace

std::optional<bool> dispatchListCommand(MainWindow& state, WORD id) {
    Settings& settings = state.settings;
    switch (id) {
        case IDM_REMOVE_FROM_LIST:
            removeSelectedEntries(state);
            return true;
        case IDM_MOVE_SELECTION_DOWN:
        case IDM_MOVE_SELECTION_UP:
            moveSelectedEntries(state, id == IDM_MOVE_SELECTION_DOWN ? 1 : -1);
            recompute(state);
            return true;
        case IDM_SELECT_ALL: {
            ListBoxWindow listBox(state.listBox);
            selectAll(listBox);
            return true;
        }
        case IDM_SORT_LIST:
            sortEntries(state);
            return true;
        case IDM_SAVE_PLAYLIST:
            writePlaylistFile(state.window, state.playlist, state.currentFolder, false, {},
                              state.savedCaption, settings.NoExt == 1,
                              static_cast<int>(state.duration));
            return true;
        case IDM_FILTER:
            filterEntries(state);
            return true;
        case IDM_JUMP:
        case IDM_JUMP_AGAIN:
            jump(state, id == IDM_JUMP);
            return true;
        case IDM_RANDOM_JUMP:
            randomJump(state);
            return true;
        case IDM_MODE_ORDER:
            setPlayMode(state, Settings::kOrder);
            return true;
        case IDM_MODE_RANDOM:
            setPlayMode(state, Settings::kRandom);
            return true;
        case IDM_MODE_SINGLE:
            setPlayMode(state, Settings::kSingle);
            return true;
        case IDM_MODE_ONCE:
            setPlayMode(state, Settings::kOnePass);
            return true;
        case IDM_NEXT_MODE:
            setPlayMode(state, settings.Mode % 4 + 1);
            return true;
        case IDM_NEXT_DISPLAY_MODE:
            cycleDisplayMode(state);
            layOutWindow(state);
            return true;
        case IDM_TOGGLE_LIST:
            settings.ListWidth = settings.ListWidth != 0 ? 0 : settings.DefaultListWidth;
            layOutWindow(state);
            return true;
        case IDM_SEARCH_SUBFOLDERS:
            toggle(settings.SearchSubFolder, state.shownMenu(kOpenMenu), id);
            state.buttonMenuLatch = false;
            return true;
        case IDM_IGNORE_ERROR:
            toggle(settings.IgnoreError, state.shownMenu(kTitleMenu), id);
            return true;
        case IDM_AFTER_ACTIVE:
            toggle(settings.AfterActive, state.shownMenu(kTitleMenu), id);
            return true;
        case IDM_SINGLE_CLICK_MODE:
            toggle(settings.SingleClickMode, state.shownMenu(kListMenu), id);
            return true;
        case IDM_HIDE_EXTENSION:
            toggle(settings.NoExt, state.shownMenu(kListMenu), id);
            return true;
        case IDM_CENTER_TEXT:
            setCenterText(state.textPanel,
                          toggle(settings.CenterText, state.shownMenu(kTextMenu), id) == 1);
            InvalidateRect(state.textPanel, nullptr, TRUE);
            return true;
        case IDM_DARK_MODE:
            toggle(settings.DarkMode, state.shownMenu(kTitleMenu), id);
            InvalidateRect(state.listBox, nullptr, TRUE);
            return true;
    }
    return std::nullopt;
}

}  // namespace zav2
