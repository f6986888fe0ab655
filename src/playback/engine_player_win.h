// Playback control's view of the program's one MediaEnginePlayer.
#pragma once

#include <optional>

#include "playback/playback_ports.h"

namespace zav2 {

class EnginePlayer final : public PlaybackPlayer {
  public:
    PlayerState state() const override;
    bool openFile(StringView path) override;
    bool isReady() override;
    bool hasFailed() override;
    bool play() override;
    bool pause() override;
    bool stop() override;
    void seek(double seconds) override;
    double position() override;
    double duration() override;
    bool isEnded() override;
    bool hasVideo() override;
    void setVolume(double level) override;
    void setPlaybackRate(double rate) override;
    void discardPreload() override;

    // The next entry opened ahead (MediaEnginePlayer::Preload).
    void preload(StringView path);
    String preloadedPath() const;
    bool startPreloadEarly();
    double earlyStartLead();
};

}  // namespace zav2
