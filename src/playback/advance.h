// Moving to the next or previous entry by the play mode, skipping entries
// that cannot be played when IgnoreError is on.
#pragma once

#include "playback/play_entry.h"
#include "playlist/playlist.h"

namespace zav2 {

enum class Direction { Backward, Forward };

// The entry an advance moves to from `current`, walking the play-order keys;
// nullopt when a ONE-mode (once through) automatic advance passes the end.
// When no entry holds the target key, current stays.
// The entry holding a key is found at once when it sits at that index (the
// list in order) or at `*hint`, the index found last time; else the keys
// are searched and the index found is left in `*hint`. A tick that asks
// every few milliseconds then costs the same for any length of list.
std::optional<int> nextEntryIndex(const Playlist& playlist, Direction direction, int mode,
                                  bool manual, int32_t* hint = nullptr);

// Stops the player, chooses the next entry (SINGLE mode replays the same one
// on an automatic advance) and plays it. A skipped entry makes it try the
// following ones, forward, until one plays, the search comes back to
// `origin`, or (ONE mode) reaches the end of the list; the last two end with
// one message.
void Advance(PlaybackContext& context, Playlist& playlist, Direction direction,
             const PlaySettings& settings, int origin, bool manual);

}  // namespace zav2
