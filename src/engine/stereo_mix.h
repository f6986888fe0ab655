// Any channel layout to the stream's stereo: mono to both sides, stereo as it
// is, more channels down-mixed by the ITU-R BS.775 coefficients (centre and
// surrounds at -3 dB, the low-frequency channel dropped).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "engine/channel_layout.h"

namespace zav2 {

struct StereoMix {
    // Per input channel: its share of the left and of the right output.
    std::vector<std::pair<float, float>> shares;
};

// A down-mix is scaled so that each output's shares add up to at most 1: the
// mix cannot exceed full scale whatever the channels hold, at the price of a
// lower level, which loudness normalisation makes up.
StereoMix stereoMixFor(const ChannelLayout& layout);

// `frames` interleaved frames of the mix's channels to planar left and right.
void mixToStereo(const StereoMix& mix, const float* interleaved, size_t frames, float* left,
                 float* right);

}  // namespace zav2
