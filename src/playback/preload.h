// Opening the next entry ahead: which entry, when, and when what was opened
// ahead no longer fits. The player keeps the entry ready in an engine of its
// own; an advance that comes to the same file starts it at once, any other
// advance opens its file as usual, so opening ahead never changes what plays.
#pragma once

#include <optional>

#include "engine/player_rules.h"
#include "playlist/playlist.h"

namespace zav2 {

// Not in an entry's first half second (its own start comes first), unless
// its end is nearer than kPreloadJoinSeconds, and not earlier than
// kPreloadLeadSeconds before its end, so that a long entry does not hold the
// next file open all along. Opening the next file and reading its first
// samples took up to two seconds beside busy cores: a two-second entry that
// waited its half second joined late.
inline constexpr double kPreloadSettleSeconds = 0.5;
inline constexpr double kPreloadJoinSeconds = 2.0;
inline constexpr double kPreloadLeadSeconds = 20.0;

// The entry an automatic advance from entry current would open: none in
// SINGLE mode (the same entry starts again), after the last entry in ONE
// mode, or when the advance would stay on the current entry (a list of
// one, which rewinds instead). `hint` as nextEntryIndex takes it.
std::optional<int> preloadIndex(const Playlist& playlist, int mode, int32_t* hint = nullptr);

enum class PreloadStep {
    Keep,     // what is held (possibly nothing) is right for now
    Load,     // let go of what is held and open `wanted`
    Discard,  // let go of what is held
};

// From the path that should be held (nullopt: none), the path that is held
// (empty: none), and the playing media's state and times (seconds of media;
// a duration of 0 is unknown). What is held is let go of as soon as it is
// not the file wanted; the wanted one is opened once the entry has settled
// and its end is near enough, while it plays.
PreloadStep preloadStep(std::optional<StringView> wanted, StringView held, PlayerState state,
                        double position, double duration, double rate);

// The end is looked for every few milliseconds, rather than at the display
// tick, once it is this near (in real time) and the next entry's start
// latency nearer: the next entry then starts on time, not up to a tick late.
inline constexpr double kEndWatchSeconds = 0.25;
bool endIsNear(double position, double duration, double rate, double startLatency);

// The entry held ready is started before the playing one ends by the time
// its engine takes from Play to sound, so that its sound begins as the
// other's ends. Returns how long to wait (seconds) before that start, once
// it is at most `within` away; nullopt before then and when the end is not
// known.
std::optional<double> earlyStartWait(double position, double duration, double rate,
                                     double startLatency, double within);

}  // namespace zav2
