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
    ListBoxWindow listBox(state.list);
    WindowCaption caption(state.window);
    selectAll(listBox);
    removeSelected(caption, listBox, state.list.playlist, [] {});
    state.savedCaption = L"Zav2";
}

void reselectCurrentEntry(PlaylistView& list) {
    ListBoxWindow listBox(list);
    listBox.clearSelection();
    if (list.playlist.current < 0)
        return;
    listBox.setSelected(list.playlist.current, true);
    listBox.setTopIndex(list.playlist.current);
}

void revealCurrentEntry(MainWindow& state) {
    if (state.list.playlist.current < 0)
        return;
    ListBoxWindow listBox(state.list);
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

}  // namespace

bool readTitlesWhileIdle(MainWindow& state) {
    if (!state.list.titlesToRead || state.playback.entryLoading || !IsWindow(state.window))
        return false;
    Playlist& playlist = state.list.playlist;
    if (playlist.empty()) {
        state.list.titlesToRead = false;
        return false;
    }
    ListBoxWindow listBox(state.list);
    TitleSliceOptions options;
    options.noExt = state.settings.NoExt == 1;
    SliceClock clock(kTitleSliceSeconds);
    readTitleSlice(playlist, listBox, state.list.titleWork, readTitle, clock.keepGoing(), options);
    // A look through 100,000 entries in every slice would cost more than the
    // slice: it is at most a few entries while titles remain.
    const bool pending = hasPendingTitles(playlist, state.list.titleWork.cursor);
    // At the end the rows an earlier reading left behind.
    if (!pending && hasRowsBehind(playlist))
        refreshRows(listBox, playlist, options.noExt);
    state.list.titlesToRead = pending;
    return pending;
}

void finishTitles(MainWindow& state) {
    finishOpening(state);
    if (!state.list.titlesToRead)
        return;
    ListBoxWindow listBox(state.list);
    WindowCaption caption(state.window);
    finishPendingTitles(caption, listBox, state.list.playlist, readTitle,
                        state.settings.NoExt == 1);
    state.list.titlesToRead = false;
}

void moveSelectedEntries(PlaylistView& list, int towards) {
    ListBoxWindow listBox(list);
    if (towards > 0)
        moveSelectedDown(listBox, list.playlist);
    else
        moveSelectedUp(listBox, list.playlist);
}

}  // namespace zav2
