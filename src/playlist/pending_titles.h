// Titles read after the rows are listed: a folder of thousands of files shows
// its rows at once, by file name, and the titles replace the names a few at a
// time while the window has nothing else to do.
//
// The reading runs on the window's thread, between messages, rather than on a
// worker: the title of entry i is read and stored into entry i in one step,
// so no command can move the entry in between and no title needs a key to
// find its row again. Under Wine a second thread would not read faster either:
// every open and close is a round trip to the one server process. What must
// survive the commands is only the two flags of PlaylistEntry, which travel
// with their entry through every sort, move, removal and insertion.
#pragma once

#include <functional>

#include "playlist/playlist.h"

namespace zav2 {

// Where the walk through the list for pending titles goes on. Only a hint:
// after any change of the list the walk still finds every pending entry.
struct TitleWork {
    size_t cursor = 0;
};

struct TitleSliceOptions {
    bool noExt = false;
};

// Reads pending titles, the rows in view first (and brings their rows up to
// date), then onward from the cursor, until `keepGoing` answers false (asked
// after each title) or nothing is pending. Returns the number of titles read.
int readTitleSlice(Playlist& playlist, ListBoxMirror& listBox, TitleWork& work,
                   const TitleFromTags& readTitle, const std::function<bool()>& keepGoing,
                   const TitleSliceOptions& options);

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
// the rows brought up to date, the caption put back.
void finishPendingTitles(CaptionTarget& caption, ListBoxMirror& listBox, Playlist& playlist,
                         const TitleFromTags& readTitle, bool noExt);

}  // namespace zav2
