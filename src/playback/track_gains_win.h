// The gain each file plays with, by the loudness setting: from its
// ReplayGain tags, or else from a measurement of its loudness, kept in a file
// beside the program and made ahead, in the background, for the entries that
// play next. Windows only.
#pragma once

#include <memory>

#include "engine/replay_gain.h"
#include "platform/text.h"

namespace zav2 {

class LoudnessMeasurer;

// The setting's value (Settings::kGainOff ...) as the gain rule takes it.
ReplayGainMode replayGainMode(int setting);

class TrackGains {
  public:
    TrackGains();
    ~TrackGains();
    TrackGains(const TrackGains&) = delete;
    TrackGains& operator=(const TrackGains&) = delete;

    // Measurements are kept in this file from now on (none: in memory).
    void useFile(String cacheFile);
    void setMode(ReplayGainMode mode) { mode_ = mode; }
    ReplayGainMode mode() const { return mode_; }

    // The factor `path` plays with. A file neither tagged nor measured yet is
    // measured first when that is done within about half a second; otherwise
    // it plays as it is and is measured for next time.
    double gainFor(const String& path);
    // `path` plays next: measured now, in the background, when it needs it.
    void measureAhead(StringView path);
    // Ends the measuring and writes what was measured.
    void close();

  private:
    LoudnessMeasurer& measurer();

    ReplayGainMode mode_ = ReplayGainMode::Off;
    String cacheFile_;
    String ahead_;
    std::unique_ptr<LoudnessMeasurer> measurer_;
};

}  // namespace zav2
