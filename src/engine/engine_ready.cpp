#include "engine/engine_ready.h"

namespace zav2 {

std::atomic<int32_t> engineReady{0};

void markEngineReadyOnCanPlay(uint32_t event, uintptr_t, uint32_t) {
    constexpr uint32_t kCanPlay = 14;
    constexpr uint32_t kCanPlayThrough = 15;
    if (event == kCanPlay || event == kCanPlayThrough)
        engineReady.store(1);
}

}  // namespace zav2
