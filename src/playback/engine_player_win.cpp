#include "playback/engine_player_win.h"

#include "engine/media_engine_player.h"

namespace zav2 {

PlayerState EnginePlayer::state() const {
    return player().GetState();
}

bool EnginePlayer::openFile(StringView path) {
    // Nothing may escape into the window procedure: a throw is a failed open.
    try {
        const String terminated(path);
        return SUCCEEDED(player().OpenFile(terminated.c_str()));
    } catch (...) {
        return false;
    }
}

bool EnginePlayer::isReady() {
    return player().IsReady();
}

bool EnginePlayer::hasFailed() {
    return player().HasFailed();
}

bool EnginePlayer::play() {
    return SUCCEEDED(player().Play());
}

bool EnginePlayer::pause() {
    return SUCCEEDED(player().Pause());
}

bool EnginePlayer::stop() {
    // Refused with nothing loaded: nothing plays, which is all a stop wants.
    const PlayerState after = SUCCEEDED(player().Stop()) ? PlayerState::Stopped : state();
    return after != PlayerState::Playing && after != PlayerState::Paused;
}

void EnginePlayer::seek(double seconds) {
    player().Seek(seconds);
}

double EnginePlayer::position() {
    return player().GetPosition();
}

double EnginePlayer::duration() {
    return player().GetDuration();
}

bool EnginePlayer::isEnded() {
    return player().IsEnded();
}

bool EnginePlayer::hasVideo() {
    return player().HasVideo();
}

void EnginePlayer::setVolume(double level) {
    player().SetVolume(level);
}

void EnginePlayer::setPlaybackRate(double rate) {
    player().SetPlaybackRate(rate);
}

void EnginePlayer::preload(StringView path) {
    try {
        const String terminated(path);
        player().Preload(terminated.c_str());
    } catch (...) {
        // Not held: the advance opens the file as usual.
    }
}

void EnginePlayer::discardPreload() {
    player().DiscardPreload();
}

String EnginePlayer::preloadedPath() const {
    return player().GetPreloadedPath();
}

bool EnginePlayer::startPreloadEarly() {
    return player().StartPreloadEarly();
}

double EnginePlayer::earlyStartLead() {
    return player().GetEarlyStartLead();
}

}  // namespace zav2
