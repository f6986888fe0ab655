// The player's rules that need no engine: the transport table, the clamps
// applied to seeks, volumes and durations, the frame-rate ratio, the rewind
// shortcut, the URL handed to the engine for a local file, the frame step by
// seeking, and the pacing of the presentation thread.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace zav2 {

// Values are fixed: other parts of the program store and compare them as
// integers (1 is never used).
enum class PlayerState : int32_t {
    Closed = 0,
    Loaded = 2,
    Playing = 3,
    Paused = 4,
    Stopped = 5,
};

enum class TransportOp { Play, Pause, Stop };

enum class TransportAction {
    CallEngine,   // make the engine call, then take `next` when it succeeds
    NothingToDo,  // answer success without touching the engine
    Refuse,       // wrong state: E_UNEXPECTED
};

struct TransportRule {
    TransportAction action = TransportAction::Refuse;
    PlayerState next = PlayerState::Closed;
};

TransportRule transportRule(TransportOp op, PlayerState from);

// A seek target: nullopt for NaN or infinity; negative becomes 0; a target
// past a known (finite, positive) duration lands on the duration.
std::optional<double> seekTarget(double requestedSeconds, double durationSeconds);

// Volume 0..1; NaN gives nullopt (the engine is not asked).
std::optional<double> clampVolume(double level);

// The engine reports NaN for an unknown and infinity for an unbounded
// duration; callers want 0 for both.
double knownDuration(double engineSeconds);

// MF_MT_FRAME_RATE packs numerator (high 32 bits) over denominator (low).
double frameRateFromPacked(uint64_t packed);

// Opening the file that is already loaded (Loaded, Playing or Paused) only
// rewinds it; after Stop, a failed load or an engine error it is reloaded.
bool isRewindOfLoadedSource(StringView currentPath, StringView fullPath, bool errorRaised,
                            PlayerState state);

// Windows takes "file:///D:/a b/c.mp3" (nothing escaped). Wine 8's file
// scheme handler only strips "file://" and then opens what is left, so the
// three-slash form fails there; it gets "file://D:/a b/c.mp3".
enum class UrlForm { Windows, Wine };
String fileUrlForPath(StringView fullPath, UrlForm form);

// Where a frame step lands when the engine cannot step and the player seeks
// instead: one frame (1 / rate; 1/25 s when the rate is unknown) from the
// paused position, never before 0.
double frameStepTarget(double positionSeconds, double framesPerSecond, bool forward);

// What one turn of the presentation thread came to, from its HRESULT (as a
// plain 32-bit value): a present, nothing due (S_FALSE), a present that
// showed nothing because the window is hidden, a lost device (removed, reset
// or hung: the device must be made anew) or any other failure.
enum class FrameOutcome { Presented, NothingDue, Occluded, DeviceLost, Failed };
FrameOutcome frameOutcome(int32_t result);

// How long the presentation thread sleeps after a turn. Presents pace
// themselves on vertical sync; polling for the next frame takes 1 ms. Failures
// back off, doubling from 16 ms up to 250 ms, so that a device that cannot
// present does not keep a time-critical thread spinning on the player's lock;
// the first success ends the back-off.
// How long an engine takes from Play until its media runs, told from one
// reading of its position: `elapsed` seconds of real time after Play it had
// moved `advanced` seconds of media at `rate`. A reading before the media
// moved, or one that makes no sense (a seek in between), tells nothing.
std::optional<double> startLatencyFrom(double elapsed, double advanced, double rate);

// How early the engine reports its end: it had got to `reached` (the last
// position read, plus the real time since then at `rate`) when the end came
// at `duration`. Nothing when that makes no sense, or when it lies further
// before the end than any engine ends early: such a position was not read
// at the end (Wine's engine goes back to 0 as it ends, now and then before
// it reports the end).
std::optional<double> endShortfallFrom(double reached, double duration);

// A time measured again and again (seconds, 0 before the first reading):
// each new reading weighs a quarter, and none counts for more than kLongest.
// `seconds` is the mean; `high` adds how far the readings stray from it, for
// a time that should seldom be exceeded.
class RunningEstimate {
  public:
    static constexpr double kLongest = 0.2;
    void add(double seconds);
    double seconds() const { return estimate; }
    double high() const { return estimate + spread; }
    bool measured() const { return readings; }

  private:
    double estimate = 0.0;
    double spread = 0.0;
    bool readings = false;
};

class FrameBackoff {
  public:
    static constexpr unsigned kFirstFailureMs = 16;
    static constexpr unsigned kLongestMs = 250;
    unsigned sleepAfter(FrameOutcome outcome);

  private:
    unsigned failures = 0;
};

// Files the audio stream tries first, by extension (any case): sound-only
// formats. Anything else goes to the media engine without a second opening.
bool audioStreamCandidate(StringView path);

// Where a track written into the audio stream is heard. Frames count from
// the stream's last reset; the track's samples begin at `startFrame` (media
// time `startSeconds`) once `begun`, and end before `endFrame` (UINT64_MAX
// while its file has more). `played` frames of the stream have been heard.
struct StreamSpan {
    uint64_t startFrame = 0;
    uint64_t endFrame = UINT64_MAX;
    double startSeconds = 0.0;
    bool begun = false;
};
// Seconds into the track: its start until its samples are heard, then on by
// the frames heard (at `sampleRate`) up to its end and a known duration.
double streamPosition(const StreamSpan& span, uint64_t played, uint32_t sampleRate,
                      double duration);
// Every sample of the track has been heard (its file has run out).
bool streamSpanHeard(const StreamSpan& span, uint64_t played);

}  // namespace zav2
