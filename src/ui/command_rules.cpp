#include "ui/command_rules.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>


namespace zav2 {

int listToggleIcon(int listWidth, bool listFillsWindow, bool leftList) {
    if (listWidth == 0)
        return kListHiddenIcon;
    if (listFillsWindow)
        return kListFullIcon;
    return leftList ? kListLeftIcon : kListRightIcon;
}

namespace {

constexpr int kSeekForward1 = 4100;
constexpr int kSeekForward10 = 4200;
constexpr int kSeekForward60 = 4300;
constexpr int kSeekForward600 = 5000;
constexpr int kSeekBack1 = 4400;
constexpr int kSeekBack10 = 4500;
constexpr int kSeekBack60 = 4600;
constexpr int kSeekBack600 = 5100;
constexpr int kPercent0 = 41000;
constexpr int kPercent90 = 41009;

constexpr int kSlowestRate = 125;
constexpr int kFastestRate = 10000;

constexpr int kSmallestKeyFont = 6;
constexpr int kResetFont = 9;

}  // namespace

bool guardAllows(CommandGuard guard, bool listEmpty, int current) {
    switch (guard) {
        case CommandGuard::None:
            return true;
        case CommandGuard::List:
            return !listEmpty;
        case CommandGuard::ListAndCurrent:
            return !listEmpty && current != -1;
    }
    return false;
}

std::optional<SeekStep> seekStepOf(int commandId) {
    switch (commandId) {
        case kSeekForward1:
            return SeekStep{1, true};
        case kSeekForward10:
            return SeekStep{10, true};
        case kSeekForward60:
            return SeekStep{60, true};
        case kSeekForward600:
            return SeekStep{600, true};
        case kSeekBack1:
            return SeekStep{1, false};
        case kSeekBack10:
            return SeekStep{10, false};
        case kSeekBack60:
            return SeekStep{60, false};
        case kSeekBack600:
            return SeekStep{600, false};
    }
    return std::nullopt;
}

std::optional<int> relativeSeekTarget(double position, unsigned durationSeconds, SeekStep step) {
    // A position the engine cannot tell counts as the start.
    const double whole = std::isfinite(position) && position > 0 ? std::ceil(position) : 0.0;
    const long long p = static_cast<long long>(std::min(whole, 1e15));
    if (step.forward) {
        if (static_cast<long long>(durationSeconds) - p < step.seconds + 1LL)
            return std::nullopt;
        return static_cast<int>(p + step.seconds);
    }
    return static_cast<int>(std::clamp(p - step.seconds, 0LL, static_cast<long long>(INT_MAX)));
}

bool frameStepAllowed(double position, double duration, double frameRate, bool forward) {
    if (!forward)
        return position != 0.0;
    if (!(frameRate > 0.0))
        return false;  // no frame to step by
    return !(position + 1.0 / frameRate + DBL_EPSILON >= duration);
}

std::optional<int> percentTenthsOf(int commandId) {
    if (commandId < kPercent0 || commandId > kPercent90)
        return std::nullopt;
    return commandId - kPercent0;
}

std::optional<double> percentJumpTarget(double duration, int tenths) {
    if (!std::isfinite(duration) || duration <= 0.0)
        return std::nullopt;
    return duration / 10.0 * tenths;
}

int fasterRate(int rate) {
    if (rate < kNormalRate)
        return std::max(rate * 2, kSlowestRate);
    return std::min(rate + 1000, kFastestRate);
}

int slowerRate(int rate) {
    if (rate > kNormalRate)
        return rate - 1000;
    return rate > kSlowestRate ? rate / 2 : rate;
}

int sliderAfterPageKey(int sliderPosition, bool up) {
    return std::clamp(sliderPosition + (up ? 5 : -5), 0, 100);
}

int toggledFlag(int flag) {
    return flag == 1 ? 0 : 1;
}

int nextPlayMode(int mode) {
    return mode >= 1 && mode <= 3 ? mode + 1 : 1;
}

std::optional<int> fontSizeAfterKey(FontSizeKey key, int points) {
    switch (key) {
        case FontSizeKey::Reset:
            return kResetFont;
        case FontSizeKey::Larger:
            if (points == INT_MAX)
                return std::nullopt;
            return points + 1;
        case FontSizeKey::Smaller:
            if (points <= kSmallestKeyFont)
                return std::nullopt;
            return points - 1;
    }
    return std::nullopt;
}

ListButtonState pressListButton(int listWidth, int fullWidth, bool leftList) {
    ListButtonState state;
    state.listWidth = listWidth == 0 ? fullWidth : listWidth == fullWidth ? 0 : listWidth;
    state.fillsWindow = state.listWidth == fullWidth;
    state.icon = listToggleIcon(state.listWidth, state.fillsWindow, leftList);
    return state;
}

uint64_t reversedWheelWParam(uint64_t wParam) {
    const auto delta = static_cast<int16_t>(static_cast<uint16_t>(wParam >> 16));
    const int reversed = std::clamp(-3 * static_cast<int>(delta), -32768, 32767);
    const uint64_t wheelWord = static_cast<uint16_t>(static_cast<int16_t>(reversed));
    return (wParam & 0xFFFFu) | (wheelWord << 16);
}

}  // namespace zav2

namespace zav2 {

int fontPointsFromHeight(int height, int dpi) {
    if (dpi <= 0)
        return 0;
    return static_cast<int>(-static_cast<double>(height) * 72.0 / dpi + 0.5);
}

}  // namespace zav2
