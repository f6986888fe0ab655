#include "playback/preload.h"

#include <cmath>

#include "playback/advance.h"

namespace zav2 {

namespace {

constexpr int kSingle = 3;

// Seconds of real time left in the media; nullopt when unknown.
std::optional<double> remainingSeconds(double position, double duration, double rate) {
    if (!(duration > 0) || !std::isfinite(duration) || !(rate > 0) || !std::isfinite(position))
        return std::nullopt;
    return std::fmax(duration - position, 0.0) / rate;
}

}  // namespace

std::optional<int> preloadIndex(const Playlist& playlist, int mode, int32_t* hint) {
    if (mode == kSingle || playlist.current < 0 || playlist.current > playlist.lastIndex())
        return std::nullopt;
    const std::optional<int> next = nextEntryIndex(playlist, Direction::Forward, mode, false, hint);
    if (!next || *next == playlist.current)
        return std::nullopt;
    return next;
}

PreloadStep preloadStep(std::optional<StringView> wanted, StringView held, PlayerState state,
                        double position, double duration, double rate) {
    const bool running = state == PlayerState::Playing || state == PlayerState::Paused;
    if (!running || !wanted || wanted->empty())
        return held.empty() ? PreloadStep::Keep : PreloadStep::Discard;
    if (!held.empty() && equalsIgnoreCase(held, *wanted))
        return PreloadStep::Keep;
    // The wrong file is let go of at once; the right one waits for its time.
    const std::optional<double> left = remainingSeconds(position, duration, rate);
    const bool settled =
        position >= kPreloadSettleSeconds || (position > 0 && left && *left <= kPreloadJoinSeconds);
    const bool due =
        state == PlayerState::Playing && settled && (!left || *left <= kPreloadLeadSeconds);
    if (due)
        return PreloadStep::Load;
    return held.empty() ? PreloadStep::Keep : PreloadStep::Discard;
}

bool endIsNear(double position, double duration, double rate, double startLatency) {
    const std::optional<double> left = remainingSeconds(position, duration, rate);
    return left && *left <= kEndWatchSeconds + std::fmax(startLatency, 0.0);
}

std::optional<double> earlyStartWait(double position, double duration, double rate,
                                     double startLatency, double within) {
    const std::optional<double> left = remainingSeconds(position, duration, rate);
    if (!left)
        return std::nullopt;
    const double wait = *left - std::fmax(startLatency, 0.0);
    if (wait > within)
        return std::nullopt;
    return std::fmax(wait, 0.0);
}

}  // namespace zav2
