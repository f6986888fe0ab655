// The main window's steps on the play list and its list box.
#include <windowsx.h>

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

void emptyList(PlaylistView& list, HWND window) {
    list.opening = {};  // a walk under way would fill the list again
    list.titlesAhead.reset();
    ListBoxWindow listBox(list);
    WindowCaption caption(window);
    selectAll(listBox);
    removeSelected(caption, listBox, list.playlist, [] {});
}

void reselectCurrentEntry(PlaylistView& list) {
    ListBoxWindow listBox(list);
    listBox.clearSelection();
    if (list.playlist.current < 0)
        return;
    listBox.setSelected(list.playlist.current, true);
    listBox.setTopIndex(list.playlist.current);
}

void revealCurrentEntry(PlaylistView& list, bool randomMode) {
    if (list.playlist.current < 0)
        return;
    ListBoxWindow listBox(list);
    revealCurrent(listBox, list.playlist.current, randomMode, false);
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

void startTitleReading(PlaylistView& list, HWND window, bool withWorker, bool keepAhead) {
    // Titles dropped in while the worker reads are read on this thread: the
    // worker goes on with the list it was given.
    const bool keepWorker = (list.titlesToRead || keepAhead) && list.titlesAhead.started();
    list.titleWork = {};
    list.titlesToRead = !list.playlist.empty();
    if (keepWorker)
        return;
    list.titlesAhead.reset();
    if (withWorker)
        startTitleWorker(list, window);
}

void startTitleWorker(PlaylistView& list, HWND window) {
    if (list.titlesToRead && !list.titlesAhead.started())
        list.titlesAhead.start(list.playlist, readTitle,
                               [window] { PostMessageW(window, WM_NULL, 0, 0); });
}

void startWalkTitleWorker(PlaylistView& list, HWND window) {
    list.titlesAhead.start(list.opening.found, readTitle,
                           [window] { PostMessageW(window, WM_NULL, 0, 0); });
}

bool readTitlesWhileIdle(PlaylistView& list, HWND window, bool noExt) {
    if (!list.titlesToRead || !IsWindow(window))
        return false;
    Playlist& playlist = list.playlist;
    if (playlist.empty()) {
        list.titlesAhead.reset();
        list.titlesToRead = false;
        return false;
    }
    ListBoxWindow listBox(list);
    TitleSliceOptions options;
    options.noExt = noExt;
    SliceClock clock(kTitleSliceSeconds);
    readTitleSlice(playlist, listBox, list.titleWork, readTitle, clock.keepGoing(), options,
                   &list.titlesAhead);
    // The worker's wake-up brings the loop back.
    if (list.titleWork.waiting)
        return false;
    // A look through 100,000 entries in every slice would cost more than the
    // slice: it is at most a few entries while titles remain.
    const bool pending = hasPendingTitles(playlist, list.titleWork.cursor);
    if (!pending) {
        list.titlesAhead.reset();
        // At the end the rows an earlier reading left behind.
        if (hasRowsBehind(playlist))
            refreshRows(listBox, playlist, options.noExt);
    }
    list.titlesToRead = pending;
    return pending;
}

void finishTitles(PlaylistView& list, HWND window, bool noExt) {
    if (!list.titlesToRead)
        return;
    ListBoxWindow listBox(list);
    WindowCaption caption(window);
    finishPendingTitles(caption, listBox, list.playlist, readTitle, noExt, &list.titlesAhead);
    list.titlesToRead = false;
}

void moveSelectedEntries(PlaylistView& list, int towards) {
    ListBoxWindow listBox(list);
    if (towards > 0)
        moveSelectedDown(listBox, list.playlist);
    else
        moveSelectedUp(listBox, list.playlist);
}

}  // namespace zav2
