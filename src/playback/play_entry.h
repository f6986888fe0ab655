// Starting, pausing and resuming one play-list entry.
#pragma once

#include <atomic>
#include <cstdint>

#include "playback/playback_ports.h"
#include "playback/resume_places.h"
#include "playlist/playlist.h"

namespace zav2 {

// The settings an entry is started with.
struct PlaySettings {
    int mode = 1;         // 1 ORDER, 2 RANDOM, 3 SINGLE, 4 ONE
    int volume = 0;       // 0 ... 1000
    int rate = 1000;      // thousandths of normal speed
    int displayMode = 1;  // 3: full screen
    bool ignoreError = false;
    bool masterVolume = false;
    bool noStandby = false;
    bool noDisplayOff = false;
};

// What one start works on besides the entry. `engineReady` is also written by
// the engine's own thread; `entryLoading` turns away a start that arrives
// while another waits for the engine (from a message box's loop, say).
struct PlaybackContext {
    PlaybackPlayer& player;
    PlaybackWindow& window;
    std::atomic<int32_t>& engineReady;
    bool& entryLoading;
    String& savedTitle;  // the caption without the rate marker
    // Where entries go on from and where they were left; none: from the start.
    PlaceKeeper* places = nullptr;
};

enum class PlayResult {
    Handled,  // playing, paused, resumed, refused with a message, or not ready in time
    Skipped,  // missing or unplayable with IgnoreError on: the caller moves on
};

// Waiting for the engine: 3 s at most, looked at every 10 ms so that a ready
// engine starts playing at once rather than at the next 100 ms. The time is
// what passed, not the looks counted: beside busy cores a 10-ms sleep took
// 20 ms, and 300 looks held the window six seconds.
inline constexpr int kReadyWaitTickMs = 10;
inline constexpr unsigned kReadyWaitMs = 3000;

// Waits up to 3 s for the opened media to become ready, less when the
// engine reports an error; true when it became ready. Clears nothing: the caller resets
// `engineReady` once it acts.
bool waitForEngine(PlaybackPlayer& player, PlaybackWindow& window,
                   std::atomic<int32_t>& engineReady);

// Stops the player; a playing or paused entry is left where it is (its place
// is kept or forgotten). False when the player would not stop.
bool stopLeaving(PlaybackContext& context);

// Plays the entry (a copy: it must not point into the list), or pauses and
// resumes the media already loaded.
PlayResult PlayEntry(PlaybackContext& context, const PlaylistEntry& entry, int index, int lastIndex,
                     const PlaySettings& settings);

// Shows the entry's title (with the rate marker) in the caption and keeps it
// without the marker; reselects the entry's row when it leads the selection.
void UpdateCaption(PlaybackContext& context, StringView path, int index, StringView title,
                   int rate);

// Playing -> paused, paused -> playing; nothing in any other state.
void TogglePause(PlaybackPlayer& player);

}  // namespace zav2
