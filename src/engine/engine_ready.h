// The program-wide "the engine can play" flag. The player's event callback
// sets it on the engine's own thread; the user-interface thread clears it
// before each open and polls it while waiting for the new source.
#pragma once

#include <atomic>
#include <cstdint>

namespace zav2 {

extern std::atomic<int32_t> engineReady;

// The event callback the main window installs: the can-play events (14, 15)
// set `engineReady` to 1; nothing else happens.
void markEngineReadyOnCanPlay(uint32_t event, uintptr_t param1, uint32_t param2);

}  // namespace zav2
