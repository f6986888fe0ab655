// Titles read after the rows are listed: a folder of thousands of files shows
// its rows at once, by file name, and the titles replace the names a few at a
// time while the window has nothing else to do.
//
// The files are read ahead on two workers (title_read_ahead.h), in list
// order, and the window's thread takes each title from there when it comes to
// its entry. Under Wine every open and close is a round trip to the one
// server process: a second reader gains only what it does while the first
// waits on the server, and a third nothing; the window's own work between
// titles (the rows put up to date, the looks at the queue) runs beside them
// rather than in turn. The rows in view are
// read at once on the window's thread, as the user sees them first. What must
// survive the commands is the entry's slot and its two flags, which travel
// with it through every sort, move, removal and insertion.
#pragma once

#include <functional>

#include "playlist/playlist.h"
#include "playlist/title_read_ahead.h"

namespace zav2 {

// Where the walk through the list for pending titles goes on. Only a hint:
// after any change of the list the walk still finds every pending entry.
struct TitleWork {
    size_t cursor = 0;
    // The last slice stopped at a title the worker has yet to read: the next
    // is for after its wake-up.
    bool waiting = false;
};

struct TitleSliceOptions {
    bool noExt = false;
};

// Reads pending titles, the rows in view first (and brings their rows up to
// date), then onward from the cursor, until `keepGoing` answers false (asked
// after each title) or nothing is pending. Titles `ahead` has read are taken
// from it; the slice stops at one it has yet to read (`work.waiting`).
// Returns the number of titles put on entries.
int readTitleSlice(Playlist& playlist, ListBoxMirror& listBox, TitleWork& work,
                   const TitleFromTags& readTitle, const std::function<bool()>& keepGoing,
                   const TitleSliceOptions& options, TitleReadAhead* ahead = nullptr);

// Stores a title read for entry `index` and, with `showRow`, puts it on the
// row; else the row is marked behind. An empty title leaves the row as it is
// (a name, or the path a list showed).
void applyTitle(Playlist& playlist, ListBoxMirror& listBox, int index, String title, bool noExt,
                bool showRow);

int countPendingTitles(const Playlist& playlist);
// Whether a title is still to read, looking from `from` on: at once when the
// entry there is pending, as it is while a reading goes on.
bool hasPendingTitles(const Playlist& playlist, size_t from);
bool hasRowsBehind(const Playlist& playlist);

// Every row again from the entries, keeping the selection and the scroll
// position; no row is behind afterwards.
void refreshRows(ListBoxMirror& listBox, Playlist& playlist, bool noExt);

// Reads every pending title now, for the commands that need all titles
// (filter, jump, save): "プレイリスト作成中... (i/n)" in the caption meanwhile,
// the rows brought up to date, the caption put back. `ahead` is stopped, what
// it has read taken, and then dropped.
void finishPendingTitles(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                         const TitleFromTags& readTitle, bool noExt,
                         TitleReadAhead* ahead = nullptr);

}  // namespace zav2
