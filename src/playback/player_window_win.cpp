// The main window's steps that reach the one player object.
// The engine's Media Foundation headers go first: mingw-w64's kernel-streaming
// header (pulled in by the endpoint-volume header) redefines types of theirs
// unless it comes second.
#include "engine/engine_ready.h"
#include "engine/media_engine_player.h"
// clang-format off
#include "playback/player_window_win.h"
// clang-format on
#include "playback/track_gains_win.h"

namespace zav2 {

bool initializePlayer(HWND videoHost) {
    if (FAILED(player().Initialize(videoHost)))
        return false;
    // The callback runs on the engine's threads: it only raises the flag.
    player().SetEventCallback(markEngineReadyOnCanPlay);
    return true;
}

void shutDownPlayer() {
    player().Shutdown();
}

void suspendFrames(bool suspended) {
    player().SuspendFrames(suspended);
}

bool playerIsPlaying() {
    return player().GetState() == PlayerState::Playing;
}

void useTrackGains(TrackGains* gains) {
    if (gains == nullptr)
        player().SetGainRule({});
    else
        player().SetGainRule([gains](const String& path) { return gains->gainFor(path); });
}

void renewTrackGain() {
    player().RenewGain();
}

}  // namespace zav2
