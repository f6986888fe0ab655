#include "playback/track_gains_win.h"

#include <utility>

#include "playback/loudness_measurer_win.h"
#include "settings/settings.h"
#include "tags/tags.h"

namespace zav2 {

namespace {

// How long a start waits for a file's measurement: a short file is measured
// within it, a long one plays as it is this time.
constexpr DWORD kMeasureWaitMs = 500;

}  // namespace

ReplayGainMode replayGainMode(int setting) {
    switch (setting) {
        case Settings::kGainTrack:
            return ReplayGainMode::Track;
        case Settings::kGainAlbum:
            return ReplayGainMode::Album;
        default:
            return ReplayGainMode::Off;
    }
}

TrackGains::TrackGains() = default;
TrackGains::~TrackGains() = default;

void TrackGains::useFile(String cacheFile) {
    cacheFile_ = std::move(cacheFile);
    measurer_.reset();
}

LoudnessMeasurer& TrackGains::measurer() {
    // Started at the first file that needs it: a program that never
    // normalises never reads the file nor starts the thread.
    if (!measurer_)
        measurer_ = std::make_unique<LoudnessMeasurer>(cacheFile_);
    return *measurer_;
}

double TrackGains::gainFor(const String& path) {
    if (mode_ == ReplayGainMode::Off)
        return 1.0;
    const ReplayGainTags tags = readTitleAndGain(path).gain;
    if (tagsGiveGain(mode_, tags))
        return replayGainFactor(mode_, tags, std::nullopt);
    std::optional<MeasuredLoudness> measured = measurer().Known(path);
    if (!measured)
        measured = measurer().MeasureNow(path, kMeasureWaitMs);
    return replayGainFactor(mode_, tags, measured);
}

void TrackGains::measureAhead(StringView path) {
    if (mode_ == ReplayGainMode::Off || path == ahead_)
        return;
    ahead_ = String(path);
    if (tagsGiveGain(mode_, readTitleAndGain(path).gain))
        return;
    measurer().MeasureAhead({ahead_});
}

void TrackGains::close() {
    measurer_.reset();
}

}  // namespace zav2
