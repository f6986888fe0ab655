// Which speaker each channel of interleaved audio feeds, in the bit order of
// the channel masks of WAVE and Media Foundation formats (front left first).
#pragma once

#include <cstdint>
#include <vector>

namespace zav2 {

enum class Speaker : uint8_t {
    FrontLeft,
    FrontRight,
    FrontCenter,
    LowFrequency,
    BackLeft,
    BackRight,
    FrontLeftOfCenter,
    FrontRightOfCenter,
    BackCenter,
    SideLeft,
    SideRight,
    TopCenter,
    TopFrontLeft,
    TopFrontCenter,
    TopFrontRight,
    TopBackLeft,
    TopBackCenter,
    TopBackRight,
    Unknown,  // a mask bit beyond these, or a channel the mask leaves out
};

using ChannelLayout = std::vector<Speaker>;

// The layout Windows assumes for a channel count without a mask: mono, stereo,
// 3.0, quad, 5.0, 5.1, 6.1, 7.1; Unknown beyond.
ChannelLayout defaultLayout(int channels);

// The speakers of a channel mask, lowest bit first; channels beyond the
// mask's bits are Unknown. A mask of 0 gives defaultLayout.
ChannelLayout layoutFromMask(uint32_t mask, int channels);

}  // namespace zav2
