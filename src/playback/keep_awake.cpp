#include "playback/keep_awake.h"

namespace zav2 {

uint32_t keepAwakeRequest(bool noStandby, bool noDisplayOff) {
    uint32_t flags = kExecutionContinuous;
    if (noStandby)
        flags |= kExecutionSystemRequired;
    if (noDisplayOff)
        flags |= kExecutionDisplayRequired;
    return flags;
}

uint32_t keepAwakeAfterToggle(bool playingOrPaused, bool noStandby, bool noDisplayOff) {
    if (!playingOrPaused)
        return kExecutionContinuous;
    return keepAwakeRequest(noStandby, noDisplayOff);
}

}  // namespace zav2
