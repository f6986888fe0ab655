#include "playback/time_display.h"

#include <cmath>
#include <cstdio>

namespace zav2 {

namespace {

// The bar's range is duration x 10 in an int.
constexpr double kLongestSeconds = 200'000'000.0;

}  // namespace

unsigned roundUpSeconds(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    if (seconds >= kLongestSeconds)
        return static_cast<unsigned>(kLongestSeconds);
    return static_cast<unsigned>(std::ceil(seconds));
}

unsigned shownPosition(double seconds, unsigned durationSeconds) {
    const unsigned position = roundUpSeconds(seconds);
    return durationSeconds > 0 && position > durationSeconds ? durationSeconds : position;
}

int seekBarPosition(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    if (seconds >= kLongestSeconds)
        return static_cast<int>(kLongestSeconds * 10);
    // 59.2 s is 591.99999... in binary; round away the representation error
    // before rounding up, or the bar would show 593.
    const double tenths = std::round(seconds * 10.0 * 1e6) / 1e6;
    return static_cast<int>(std::ceil(tenths));
}

unsigned mediaDurationSeconds(bool hasEntry, PlayerState state, double engineDuration) {
    if (!hasEntry || state == PlayerState::Stopped)
        return 0;
    return roundUpSeconds(engineDuration);
}

String formatTimeText(unsigned positionSeconds, unsigned durationSeconds) {
    char text[64];
    const char* format = durationSeconds < 6000 ? "%02u:%02u / %02u:%02u" : "%03u:%02u/%03u:%02u";
    std::snprintf(text, sizeof text, format, positionSeconds / 60, positionSeconds % 60,
                  durationSeconds / 60, durationSeconds % 60);
    String result;
    for (const char* c = text; *c; ++c)
        result += static_cast<Char>(*c);
    return result;
}

int channelClickValue(int cursorX, int windowLeft, int windowRight, int maximum) {
    constexpr int kMargin = 9;
    const int innerLeft = windowLeft + kMargin;
    const int innerWidth = windowRight - kMargin - innerLeft;
    if (innerWidth <= 0 || maximum <= 0)
        return 0;
    const double value = static_cast<double>(maximum) * (cursorX - innerLeft) / innerWidth;
    if (value <= 0.0)
        return 0;
    if (value >= maximum)
        return maximum;
    return static_cast<int>(value);
}

std::optional<unsigned> thumbReleaseTarget(int barPosition, unsigned durationSeconds) {
    const unsigned seconds = barPosition > 0 ? static_cast<unsigned>(barPosition / 10) : 0;
    if (seconds >= durationSeconds)
        return std::nullopt;
    return seconds;
}

String thumbTrackText(int barPosition, unsigned durationSeconds) {
    return formatTimeText(barPosition > 0 ? static_cast<unsigned>(barPosition / 10) : 0,
                          durationSeconds);
}

}  // namespace zav2
