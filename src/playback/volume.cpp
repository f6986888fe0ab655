#include "playback/volume.h"

#include <algorithm>

namespace zav2 {

uint32_t waveOutVolume(int volume) {
    const uint32_t level = static_cast<uint32_t>(std::clamp(volume, 0, 1000)) * 65535u / 1000u;
    return level | (level << 16);
}

int volumeAfterKey(int volume, bool up) {
    return std::clamp(volume + (up ? 50 : -50), 0, 1000);
}

int sliderAfterWheel(int sliderPosition, int wheelDelta) {
    return std::clamp(sliderPosition + wheelDelta * 5 / 120, 0, 100);
}

}  // namespace zav2
