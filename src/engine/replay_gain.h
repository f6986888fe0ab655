// The gain a track is played with so that every track sounds equally loud:
// from its ReplayGain tags, or else from its measured loudness, towards the
// ReplayGain 2.0 reference of -18 LUFS.
#pragma once

#include <optional>

#include "tags/tags.h"

namespace zav2 {

enum class ReplayGainMode {
    Off,    // every track as it is
    Track,  // each track to the reference
    Album,  // each album to the reference: its tracks keep their differences
};

// What a measurement of the decoded audio found (LoudnessMeter).
struct MeasuredLoudness {
    double lufs = 0;
    double peak = 0;  // largest sample magnitude, 1 at full scale
};

constexpr double kReferenceLoudness = -18.0;  // LUFS
// Gains beyond this are not a track's level but a damaged or hostile value.
constexpr double kLargestGain = 51.0;  // dB

// The linear factor for the samples. Album uses the album gain and peak where
// the tags hold them, else the track's; tags come before a measurement. A
// gain that is not a number or beyond +-51 dB, or a peak that is not above 0,
// counts as absent. A raise is held back so that factor * peak <= 1, never
// below 1; no usable gain gives 1.
double replayGainFactor(ReplayGainMode mode, const ReplayGainTags& tags,
                        const std::optional<MeasuredLoudness>& measured);

// Whether the tags alone give the factor, so that nothing need be measured.
bool tagsGiveGain(ReplayGainMode mode, const ReplayGainTags& tags);

}  // namespace zav2
