// Volume arithmetic. The program volume runs 0 ... 1000; the slider shows a
// tenth of it (0 ... 100).
#pragma once

#include <cstdint>

namespace zav2 {

// waveOutSetVolume's argument: the same 16-bit level for the left (low half)
// and the right (high half) channel.
uint32_t waveOutVolume(int volume);

// A volume key: 50 up or down, within 0 ... 1000.
int volumeAfterKey(int volume, bool up);

// The wheel over the panel: 5 slider steps per notch (120 units of delta),
// within 0 ... 100.
int sliderAfterWheel(int sliderPosition, int wheelDelta);

}  // namespace zav2
