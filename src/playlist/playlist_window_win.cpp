// The main window's steps on the play list and its list box.
#include <windowsx.h>

#include "app/main_window_win.h"
#include "playlist/playlist_window_win.h"
#include "playlist/pending_titles.h"
#include "playlist/slice_clock_win.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_win.h"
#include "tags/tags.h"

namespace zav2 {

bool listIsEmpty(const PlaylistView& list) {
    return list.playlist.empty();
}

void setCurrentEntry(PlaylistView& list, int index) {
    list.playlist.current = index;
}

void emptyList(MainWindow& state) {
    state.list.opening = {};  // a walk under way would fill the list again
    ListBoxWindow listBox(state.list.listBox, state.list.listBoxProcedure);
    WindowCaption caption(state.window);
    selectAll(listBox);
    removeSelected(caption, listBox, state.list.playlist, [] {});
    state.savedCaption = L"Zav2";
}

void reselectCurrentEntry(PlaylistView& list) {
    ListBoxWindow listBox(list.listBox, list.listBoxProcedure);
    listBox.clearSelection();
    if (list.playlist.current < 0)
        return;
    listBox.setSelected(list.playlist.current, true);
    listBox.setTopIndex(list.playlist.current);
}

void revealCurrentEntry(MainWindow& state) {
    if (state.list.playlist.current < 0)
        return;
    ListBoxWindow listBox(state.list.listBox, state.list.listBoxProcedure);
    revealCurrent(listBox, state.list.playlist.current, state.settings.Mode == Settings::kRandom,
                  false);
}

String currentEntryPath(const PlaylistView& list) {
    const Playlist& playlist = list.playlist;
    if (playlist.current < 0 || playlist.current > playlist.lastIndex())
        return {};
    return playlist.entries[static_cast<size_t>(playlist.current)].path;
}

namespace {

// A slice short enough that a click or a key waits no longer than a frame.
constexpr double kTitleSliceSeconds = 0.015;
// Up to this many rows a title goes to its row at once. Replacing a row
// costs a dozen list-box calls and shifts every row after it; refilling the
// whole box costs a couple of microseconds a row under Wine, so in a longer
// list the rows out of view are refilled in batches.
constexpr int kRowsReplacedOneByOne = 2000;
// Batches no closer than this, nor than twenty times what the last one took
// (a 100,000-row refill takes about 0.3 s): the rows in view are brought up
// to date by every slice, so the batches only keep the rest from lagging far.
constexpr uint64_t kRowRefillMilliseconds = 2000;
constexpr uint64_t kRowRefillCostShare = 20;

void refreshRowsBehind(MainWindow& state) {
    const uint64_t start = GetTickCount64();
    ListBoxWindow listBox(state.list.listBox, state.list.listBoxProcedure);
    refreshRows(listBox, state.list.playlist, state.settings.NoExt == 1);
    state.list.lastRowRefill = GetTickCount64();
    state.list.rowRefillCost = state.list.lastRowRefill - start;
    state.list.titleWork.rowsLeftBehind = false;
}

}  // namespace

bool readTitlesWhileIdle(MainWindow& state) {
    if (!state.list.titlesToRead || state.playback.entryLoading || !IsWindow(state.window))
        return false;
    Playlist& playlist = state.list.playlist;
    if (playlist.empty()) {
        state.list.titlesToRead = false;
        return false;
    }
    ListBoxWindow listBox(state.list.listBox, state.list.listBoxProcedure);
    TitleSliceOptions options;
    options.noExt = state.settings.NoExt == 1;
    options.replaceRowsOutOfView = playlist.entries.size() <= kRowsReplacedOneByOne;
    SliceClock clock(kTitleSliceSeconds);
    readTitleSlice(playlist, listBox, state.list.titleWork, readTitle, clock.keepGoing(), options);
    // Both looks are at most a few entries while titles remain: a look
    // through 100,000 entries in every slice would cost more than the slice.
    const bool pending = hasPendingTitles(playlist, state.list.titleWork.cursor);
    // At the end the whole list, as an earlier reading may have left rows too.
    if (pending ? state.list.titleWork.rowsLeftBehind : hasRowsBehind(playlist)) {
        const uint64_t since = GetTickCount64() - state.list.lastRowRefill;
        if (!pending || since >= std::max(kRowRefillMilliseconds,
                                          kRowRefillCostShare * state.list.rowRefillCost))
            refreshRowsBehind(state);
        else
            return true;
    }
    state.list.titlesToRead = pending;
    return pending;
}

void finishTitles(MainWindow& state) {
    finishOpening(state);
    if (!state.list.titlesToRead)
        return;
    ListBoxWindow listBox(state.list.listBox, state.list.listBoxProcedure);
    WindowCaption caption(state.window);
    finishPendingTitles(caption, listBox, state.list.playlist, readTitle,
                        state.settings.NoExt == 1);
    state.list.titlesToRead = false;
}

void moveSelectedEntries(PlaylistView& list, int towards) {
    ListBoxWindow listBox(list.listBox, list.listBoxProcedure);
    if (towards > 0)
        moveSelectedDown(listBox, list.playlist);
    else
        moveSelectedUp(listBox, list.playlist);
}

}  // namespace zav2
