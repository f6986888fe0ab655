// Ordering and searching the play list: the sort order, the play-order keys
// that next and previous walk, and the search expressions of filter and jump.
#pragma once

#include "playlist/playlist.h"

namespace zav2 {

// True when `a` sorts before `b`: by folder, then base name, then extension,
// each in logical order ("Disc 2" before "Disc 10") and without regard to case.
// Titles play no part.
bool comparePlaylistEntries(const PlaylistEntry& a, const PlaylistEntry& b);

// Sorts the entries by comparePlaylistEntries. `current` stays on the entry it
// designated. The list box is not touched: the caller rebuilds it.
void sortPlaylist(Playlist& playlist);
// The same in two steps, so the first can run away from the window: the
// order of the paths (order[position] = index), stable; then the entries put
// in that order, `current` following its entry (an order of another length
// is ignored).
std::vector<uint32_t> sortedOrder(const std::vector<StringView>& paths);
void applyOrder(Playlist& playlist, std::vector<uint32_t> order);

// Sets every entry's `order`: its index, or in random mode a fresh shuffle in
// which the current entry is 0 and the others take 1 ... n-1.
void recomputeOrder(Playlist& playlist, bool randomMode);

// The text searches look at: the title, else the file name with its extension.
StringView matchText(const PlaylistEntry& entry);

// The search expression: space-separated words that must all occur, "-word"
// for one that must not; "OR a b ..." for any of them. Case-sensitive; a blank
// expression matches nothing.
bool matchesExpression(StringView text, StringView expression);
// True when the expression holds at least one word.
bool hasSearchWords(StringView expression);

// Removes every entry (and list-box row) whose match text does not match.
// current stays on its entry, becomes 0 when that entry was removed, or -1 when
// nothing is left. A blank expression removes nothing. Returns true when the
// current entry was removed. The caller recomputes the order.
bool filterPlaylist(Playlist& playlist, ListBoxMirror& listBox, StringView expression);

// The first matching entry after `current`, wrapping round; the current entry
// itself is never taken. -1 when none matches.
int32_t findNextMatch(const Playlist& playlist, int32_t current, StringView expression);

}  // namespace zav2
