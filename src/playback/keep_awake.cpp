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

}  // namespace zav2
