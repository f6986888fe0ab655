// The power request made while an entry plays.
#pragma once

#include <cstdint>

namespace zav2 {

// The execution-state flags (ES_CONTINUOUS, ES_SYSTEM_REQUIRED,
// ES_DISPLAY_REQUIRED) spelled out, so portable code can name them.
inline constexpr uint32_t kExecutionContinuous = 0x80000000u;
inline constexpr uint32_t kExecutionSystemRequired = 0x00000001u;
inline constexpr uint32_t kExecutionDisplayRequired = 0x00000002u;

// What to request while playing: continuous alone (no request) unless
// `NoStandby` keeps the system or `NoDisplayOff` the display awake.
uint32_t keepAwakeRequest(bool noStandby, bool noDisplayOff);

// The power request after NoStandby or NoDisplayOff changed: what the
// settings ask for while an entry is playing or paused, continuous alone
// (no request) otherwise.
uint32_t keepAwakeAfterToggle(bool playingOrPaused, bool noStandby, bool noDisplayOff);

}  // namespace zav2
