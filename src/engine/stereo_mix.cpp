#include "engine/stereo_mix.h"

#include <algorithm>

namespace zav2 {

namespace {

constexpr float kMinus3dB = 0.70710678f;

std::pair<float, float> sharesOf(Speaker speaker) {
    using S = Speaker;
    switch (speaker) {
        case S::FrontLeft:
        case S::FrontLeftOfCenter:
            return {1, 0};
        case S::FrontRight:
        case S::FrontRightOfCenter:
            return {0, 1};
        case S::LowFrequency:
            return {0, 0};
        case S::BackLeft:
        case S::SideLeft:
        case S::TopFrontLeft:
        case S::TopBackLeft:
            return {kMinus3dB, 0};
        case S::BackRight:
        case S::SideRight:
        case S::TopFrontRight:
        case S::TopBackRight:
            return {0, kMinus3dB};
        case S::FrontCenter:
        case S::BackCenter:
        case S::TopCenter:
        case S::TopFrontCenter:
        case S::TopBackCenter:
        case S::Unknown:
            return {kMinus3dB, kMinus3dB};
    }
    return {0, 0};
}

}  // namespace

StereoMix stereoMixFor(const ChannelLayout& layout) {
    StereoMix mix;
    if (layout.size() == 1) {
        mix.shares = {{1.0f, 1.0f}};
        return mix;
    }
    float left = 0;
    float right = 0;
    for (const Speaker speaker : layout) {
        mix.shares.push_back(sharesOf(speaker));
        left += mix.shares.back().first;
        right += mix.shares.back().second;
    }
    const float largest = std::max(left, right);
    if (largest > 1) {
        for (auto& [l, r] : mix.shares) {
            l /= largest;
            r /= largest;
        }
    }
    return mix;
}

void mixToStereo(const StereoMix& mix, const float* interleaved, size_t frames, float* left,
                 float* right) {
    const size_t channels = mix.shares.size();
    if (channels == 2 && mix.shares[0] == std::pair(1.0f, 0.0f) &&
        mix.shares[1] == std::pair(0.0f, 1.0f)) {
        for (size_t i = 0; i < frames; ++i) {
            left[i] = interleaved[2 * i];
            right[i] = interleaved[2 * i + 1];
        }
        return;
    }
    for (size_t i = 0; i < frames; ++i, interleaved += channels) {
        float l = 0;
        float r = 0;
        for (size_t c = 0; c < channels; ++c) {
            l += mix.shares[c].first * interleaved[c];
            r += mix.shares[c].second * interleaved[c];
        }
        left[i] = l;
        right[i] = r;
    }
}

}  // namespace zav2
