// The time read-out and the seek bar's arithmetic. The bar counts tenths of a
// second; the read-out shows whole seconds, rounded up.
#pragma once

#include <optional>

#include "engine/player_rules.h"
#include "platform/text.h"

namespace zav2 {

// Seconds rounded up to a whole number; 0 for negative, NaN or infinite
// values, and never more than the bar can hold.
unsigned roundUpSeconds(double seconds);

// The position the read-out shows: rounded up, but not past a known
// duration (the engine's clock runs a little past the end of some files).
unsigned shownPosition(double seconds, unsigned durationSeconds);

// Seek-bar position for a time: tenths of a second, rounded up.
int seekBarPosition(double seconds);

// The duration of the loaded media in whole seconds, rounded up: 0 without an
// entry, when stopped, or when the engine does not know it.
unsigned mediaDurationSeconds(bool hasEntry, PlayerState state, double engineDuration);

// "mm:ss / mm:ss" below 6000 s of duration, "mmm:ss/mmm:ss" from there on.
String formatTimeText(unsigned positionSeconds, unsigned durationSeconds);

// A click on a trackbar's channel: the value under the cursor. The thumb
// cannot reach the 9 pixels at either end, so they are left out of the scale.
// Clamped to 0 ... maximum.
int channelClickValue(int cursorX, int windowLeft, int windowRight, int maximum);

// Releasing the seek-bar thumb at `barPosition` (tenths): the whole second to
// seek to, or nothing when the thumb is at or past the end (the entry ends).
std::optional<unsigned> thumbReleaseTarget(int barPosition, unsigned durationSeconds);

// The read-out while the thumb is dragged: the thumb's whole seconds.
String thumbTrackText(int barPosition, unsigned durationSeconds);

}  // namespace zav2
