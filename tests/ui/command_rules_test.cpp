#include "ui/command_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace zav2 {
namespace {

TEST(CommandRules, GuardsKeepCommandsOffAnEmptyListOrWithoutCurrent) {
    EXPECT_TRUE(guardAllows(CommandGuard::None, true, -1));
    EXPECT_FALSE(guardAllows(CommandGuard::List, true, -1));
    EXPECT_TRUE(guardAllows(CommandGuard::List, false, -1));
    EXPECT_FALSE(guardAllows(CommandGuard::ListAndCurrent, false, -1));
    EXPECT_TRUE(guardAllows(CommandGuard::ListAndCurrent, false, 0));
}

// Each step and both ends with real keys: e2e commands.
TEST(CommandRules, RelativeSeekRoundsUpAndClampsAtBothEnds) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double position;
        unsigned duration;
        int commandId;
        std::optional<int> target;
    } const cases[] = {
        {12.3, 100, 4100, 14},            // rounded up to 13 first
        {98.5, 100, 4100, std::nullopt},  // 1.5 s left: nothing
        {nan, 100, 4100, 1},              // an unknown position is the start
        {5.0, 0, 4100, std::nullopt},     // unknown duration: no forward seek
        {12.3, 1000, 5000, 613},          // the ten-minute step
    };
    for (const Case& c : cases) {
        const std::optional<SeekStep> step = seekStepOf(c.commandId);
        ASSERT_TRUE(step) << c.commandId;
        EXPECT_EQ(relativeSeekTarget(c.position, c.duration, *step), c.target)
            << c.position << " " << c.commandId;
    }
    EXPECT_FALSE(seekStepOf(4700));
}

TEST(CommandRules, FrameStepStopsAtTheEndsAndWithoutAFrameRate) {
    EXPECT_TRUE(frameStepAllowed(5.0, 10.0, 25.0, true));
    EXPECT_FALSE(frameStepAllowed(9.96, 10.0, 25.0, true));  // the next frame is the end
    EXPECT_FALSE(frameStepAllowed(5.0, 10.0, 0.0, true));
    EXPECT_FALSE(frameStepAllowed(0.0, 10.0, 25.0, false));
}

TEST(CommandRules, PercentJumpsNeedAKnownDuration) {
    // Keypad 5 and 2 jump end to end (e2e commands).
    EXPECT_FALSE(percentTenthsOf(41010));
    EXPECT_DOUBLE_EQ(*percentJumpTarget(123.0, 0), 0.0);
    EXPECT_FALSE(percentJumpTarget(std::numeric_limits<double>::quiet_NaN(), 5));
    EXPECT_FALSE(percentJumpTarget(std::numeric_limits<double>::infinity(), 5));
}

TEST(CommandRules, RateLadderStopsAt125And10000) {
    for (auto [rate, faster, slower] :
         {std::tuple{125, 250, 125}, {kNormalRate, 2000, 500}, {10000, 10000, 9000}}) {
        EXPECT_EQ(fasterRate(rate), faster) << rate;
        EXPECT_EQ(slowerRate(rate), slower) << rate;
    }
}

// Page keys, the top-most toggle and the font keys in their middle ranges:
// e2e commands.
TEST(CommandRules, SmallSteppedValuesStayInTheirRanges) {
    EXPECT_EQ(sliderAfterPageKey(98, true), 100);
    EXPECT_EQ(sliderAfterPageKey(3, false), 0);
    for (auto [mode, next] : {std::pair{3, 4}, {4, 1}, {0, 1}, {9, 1}})
        EXPECT_EQ(nextPlayMode(mode), next) << mode;
    EXPECT_EQ(fontSizeAfterKey(FontSizeKey::Smaller, 7), 6);
    EXPECT_FALSE(fontSizeAfterKey(FontSizeKey::Smaller, 6));
    EXPECT_EQ(fontPointsFromHeight(-15, 96), 11);  // 11.75 truncated
}

TEST(CommandRules, AClickOnAMenuButtonWhileLatchedOnlyClears) {
    ButtonMenuLatch latch;
    EXPECT_TRUE(latch.press());
    latch.menuShown();  // dismissed without a choice
    EXPECT_FALSE(latch.press());
    EXPECT_TRUE(latch.press());
    latch.menuShown();
    latch.clear();  // a choice of the menu
    EXPECT_TRUE(latch.press());
}

// A hidden list made to fill the window by a press: e2e commands.
TEST(CommandRules, ListButtonCyclesHiddenAndFullAndKeepsOtherWidths) {
    const auto fields = [](ListButtonState s) {
        return std::tuple{s.listWidth, s.fillsWindow, s.icon};
    };
    EXPECT_EQ(fields(pressListButton(500, 500, false)), std::tuple(0, false, 112));
    EXPECT_EQ(fields(pressListButton(200, 500, false)), std::tuple(200, false, 128));
}

TEST(CommandRules, SliderWheelReversesTripledAndNeverWraps) {
    EXPECT_EQ(reversedWheelWParam(0x00780008u), 0xFE980008u);  // +120, MK_SHIFT kept: -360
    EXPECT_EQ(reversedWheelWParam(0xFF880000u), 0x01680000u);  // -120: +360
    // A huge delta clamps and keeps its sign.
    EXPECT_EQ(reversedWheelWParam(0x7FFF0000u), 0x80000000u);
}

}  // namespace
}  // namespace zav2
