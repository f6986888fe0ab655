#include "engine/player_rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "platform/path.h"

namespace zav2 {

namespace {

constexpr size_t stateIndex(PlayerState state) {
    switch (state) {
        case PlayerState::Closed:
            return 0;
        case PlayerState::Loaded:
            return 1;
        case PlayerState::Playing:
            return 2;
        case PlayerState::Paused:
            return 3;
        case PlayerState::Stopped:
            return 4;
    }
    return 0;
}

constexpr TransportRule call(PlayerState next) {
    return {TransportAction::CallEngine, next};
}
constexpr TransportRule refuse(PlayerState same) {
    return {TransportAction::Refuse, same};
}

using S = PlayerState;
// Rows: Play, Pause, Stop. Columns: Closed, Loaded, Playing, Paused, Stopped.
constexpr std::array<std::array<TransportRule, 5>, 3> kTransport{{
    {refuse(S::Closed), call(S::Playing), refuse(S::Playing), call(S::Playing), call(S::Playing)},
    {refuse(S::Closed), refuse(S::Loaded), call(S::Paused), refuse(S::Paused), refuse(S::Stopped)},
    {refuse(S::Closed), call(S::Stopped), call(S::Stopped), call(S::Stopped),
     TransportRule{TransportAction::NothingToDo, S::Stopped}},
}};

}  // namespace

TransportRule transportRule(TransportOp op, PlayerState from) {
    return kTransport[static_cast<size_t>(op)][stateIndex(from)];
}

std::optional<double> seekTarget(double requestedSeconds, double durationSeconds) {
    if (!std::isfinite(requestedSeconds))
        return std::nullopt;
    double target = requestedSeconds < 0 ? 0.0 : requestedSeconds;
    if (std::isfinite(durationSeconds) && durationSeconds > 0 && target > durationSeconds)
        target = durationSeconds;
    return target;
}

std::optional<double> clampVolume(double level) {
    if (std::isnan(level))
        return std::nullopt;
    return level < 0 ? 0.0 : (level > 1 ? 1.0 : level);
}

double knownDuration(double engineSeconds) {
    return std::isfinite(engineSeconds) ? engineSeconds : 0.0;
}

double frameRateFromPacked(uint64_t packed) {
    const auto numerator = static_cast<uint32_t>(packed >> 32);
    const auto denominator = static_cast<uint32_t>(packed & 0xFFFFFFFFu);
    if (denominator == 0)
        return 0.0;
    return static_cast<double>(numerator) / static_cast<double>(denominator);
}

bool isRewindOfLoadedSource(StringView currentPath, StringView fullPath, bool errorRaised,
                            PlayerState state) {
    // Closed counts as reload too: a failed source change leaves the old path
    // behind, and the engine then holds nothing to rewind.
    const bool sourceHeld = state == PlayerState::Loaded || state == PlayerState::Playing ||
                            state == PlayerState::Paused;
    return sourceHeld && !currentPath.empty() && equalsIgnoreCase(currentPath, fullPath) &&
           !errorRaised;
}

String fileUrlForPath(StringView fullPath, UrlForm form) {
    String url = form == UrlForm::Windows ? String(ZT("file:///")) : String(ZT("file://"));
    url.reserve(url.size() + fullPath.size());
    for (const Char c : fullPath)
        url.push_back(c == '\\' ? Char('/') : c);
    return url;
}

double frameStepTarget(double positionSeconds, double framesPerSecond, bool forward) {
    constexpr double kUnknownRate = 25.0;
    const double rate =
        std::isfinite(framesPerSecond) && framesPerSecond > 0 ? framesPerSecond : kUnknownRate;
    const double target = positionSeconds + (forward ? 1.0 : -1.0) / rate;
    return target > 0 ? target : 0.0;
}

FrameOutcome frameOutcome(int32_t result) {
    constexpr uint32_t kDeviceRemoved = 0x887A0005;  // DXGI_ERROR_DEVICE_REMOVED
    constexpr uint32_t kDeviceHung = 0x887A0006;     // DXGI_ERROR_DEVICE_HUNG
    constexpr uint32_t kDeviceReset = 0x887A0007;    // DXGI_ERROR_DEVICE_RESET
    constexpr int32_t kOccluded = 0x087A0001;        // DXGI_STATUS_OCCLUDED
    const auto code = static_cast<uint32_t>(result);
    if (code == kDeviceRemoved || code == kDeviceHung || code == kDeviceReset)
        return FrameOutcome::DeviceLost;
    if (result < 0)
        return FrameOutcome::Failed;
    if (result == 1)
        return FrameOutcome::NothingDue;
    if (result == kOccluded)
        return FrameOutcome::Occluded;
    return FrameOutcome::Presented;
}

unsigned FrameBackoff::sleepAfter(FrameOutcome outcome) {
    // A hidden window returns from Present at once: without vertical sync to
    // wait on, the thread waits about a display frame itself.
    constexpr unsigned kOccludedMs = 16;
    switch (outcome) {
        case FrameOutcome::Presented:
            failures = 0;
            return 0;
        case FrameOutcome::NothingDue:
            failures = 0;
            return 1;
        case FrameOutcome::Occluded:
            failures = 0;
            return kOccludedMs;
        case FrameOutcome::DeviceLost:
        case FrameOutcome::Failed:
            break;
    }
    unsigned ms = kFirstFailureMs;
    for (unsigned doubling = 0; doubling < failures && ms < kLongestMs; ++doubling)
        ms *= 2;
    if (failures < 32)
        ++failures;
    return ms < kLongestMs ? ms : kLongestMs;
}

}  // namespace zav2

namespace zav2 {

std::optional<double> startLatencyFrom(double elapsed, double advanced, double rate) {
    if (!(advanced > 0) || !(rate > 0) || !std::isfinite(elapsed) || !std::isfinite(advanced))
        return std::nullopt;
    const double latency = elapsed - advanced / rate;
    if (latency < 0)
        return std::nullopt;
    return latency;
}

std::optional<double> endShortfallFrom(double reached, double duration) {
    if (!(duration > 0) || !std::isfinite(duration) || !std::isfinite(reached) || reached <= 0)
        return std::nullopt;
    const double shortfall = std::fmax(duration - reached, 0.0);
    if (shortfall > RunningEstimate::kLongest)
        return std::nullopt;
    return shortfall;
}

void RunningEstimate::add(double seconds) {
    seconds = std::fmin(std::fmax(seconds, 0.0), kLongest);
    if (!readings) {
        estimate = seconds;
        readings = true;
        return;
    }
    // A quarter's weight: the readings scatter, and the last one alone
    // foretells the next no better than the mean of a few.
    spread += (std::fabs(seconds - estimate) - spread) / 4;
    estimate += (seconds - estimate) / 4;
}

bool audioStreamCandidate(StringView path) {
    static constexpr const Char* kExtensions[] = {
        ZT(".mp3"), ZT(".wav"), ZT(".flac"), ZT(".m4a"), ZT(".aac"),
        ZT(".ogg"), ZT(".oga"), ZT(".opus"), ZT(".wma"),
    };
    const StringView ext = extension(path);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const Char* known) { return equalsIgnoreCase(ext, known); });
}

double streamPosition(const StreamSpan& span, uint64_t played, uint32_t sampleRate,
                      double duration) {
    if (!span.begun || played <= span.startFrame || sampleRate == 0)
        return span.startSeconds;
    const uint64_t frames = std::min(played, span.endFrame) - span.startFrame;
    const double seconds = span.startSeconds + static_cast<double>(frames) / sampleRate;
    return duration > 0 ? std::min(seconds, duration) : seconds;
}

bool streamSpanHeard(const StreamSpan& span, uint64_t played) {
    return span.endFrame != UINT64_MAX && played >= span.endFrame;
}

}  // namespace zav2
