#include "engine/replay_gain.h"

#include <algorithm>
#include <cmath>

namespace zav2 {

namespace {

// Float sources may peak a little above full scale; far above is garbage.
constexpr double kLargestPeak = 100.0;

std::optional<double> usableGain(const std::optional<double>& gain) {
    if (!gain || !std::isfinite(*gain) || std::fabs(*gain) > kLargestGain)
        return std::nullopt;
    return gain;
}

std::optional<double> usablePeak(const std::optional<double>& peak) {
    if (!peak || !std::isfinite(*peak) || *peak <= 0 || *peak > kLargestPeak)
        return std::nullopt;
    return peak;
}

}  // namespace

bool tagsGiveGain(ReplayGainMode mode, const ReplayGainTags& tags) {
    return mode != ReplayGainMode::Off &&
           (usableGain(tags.trackGain) ||
            (mode == ReplayGainMode::Album && usableGain(tags.albumGain)));
}

double replayGainFactor(ReplayGainMode mode, const ReplayGainTags& tags,
                        const std::optional<MeasuredLoudness>& measured) {
    if (mode == ReplayGainMode::Off)
        return 1.0;
    std::optional<double> gain;
    std::optional<double> peak;
    if (mode == ReplayGainMode::Album && usableGain(tags.albumGain)) {
        gain = usableGain(tags.albumGain);
        peak = usablePeak(tags.albumPeak) ? usablePeak(tags.albumPeak) : usablePeak(tags.trackPeak);
    } else if (usableGain(tags.trackGain)) {
        gain = usableGain(tags.trackGain);
        peak = usablePeak(tags.trackPeak);
    } else if (measured && std::isfinite(measured->lufs)) {
        gain = usableGain(kReferenceLoudness - measured->lufs);
        peak = usablePeak(measured->peak);
    }
    if (!gain)
        return 1.0;
    double factor = std::pow(10.0, *gain / 20);
    if (factor > 1 && peak)
        factor = std::max(1.0, std::min(factor, 1 / *peak));
    return factor;
}

}  // namespace zav2
