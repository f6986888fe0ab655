#include "engine/channel_layout.h"

#include <cstddef>

namespace zav2 {

ChannelLayout defaultLayout(int channels) {
    using S = Speaker;
    switch (channels) {
        case 1:
            return {S::FrontCenter};
        case 2:
            return {S::FrontLeft, S::FrontRight};
        case 3:
            return {S::FrontLeft, S::FrontRight, S::FrontCenter};
        case 4:
            return {S::FrontLeft, S::FrontRight, S::BackLeft, S::BackRight};
        case 5:
            return {S::FrontLeft, S::FrontRight, S::FrontCenter, S::BackLeft, S::BackRight};
        case 6:
            return {S::FrontLeft,    S::FrontRight, S::FrontCenter,
                    S::LowFrequency, S::BackLeft,   S::BackRight};
        case 7:
            return {S::FrontLeft,  S::FrontRight, S::FrontCenter, S::LowFrequency,
                    S::BackCenter, S::SideLeft,   S::SideRight};
        case 8:
            return {S::FrontLeft, S::FrontRight, S::FrontCenter, S::LowFrequency,
                    S::BackLeft,  S::BackRight,  S::SideLeft,    S::SideRight};
        default:
            return ChannelLayout(channels > 0 ? static_cast<std::size_t>(channels) : 0, S::Unknown);
    }
}

ChannelLayout layoutFromMask(uint32_t mask, int channels) {
    if (mask == 0)
        return defaultLayout(channels);
    ChannelLayout layout;
    constexpr int kKnownBits = static_cast<int>(Speaker::Unknown);
    for (int bit = 0; bit < 32 && static_cast<int>(layout.size()) < channels; ++bit) {
        if (mask & (uint32_t{1} << bit))
            layout.push_back(bit < kKnownBits ? static_cast<Speaker>(bit) : Speaker::Unknown);
    }
    layout.resize(channels > 0 ? static_cast<std::size_t>(channels) : 0, Speaker::Unknown);
    return layout;
}

}  // namespace zav2
