#include "settings/settings_fonts.h"

#include <gtest/gtest.h>

namespace zav2 {
namespace {

TEST(SettingsFonts, PointsToPixelsRoundLikeMulDiv) {
    EXPECT_EQ(fontPixelHeight(10, 96), 13);   // 13.33
    EXPECT_EQ(fontPixelHeight(10, 120), 17);  // 16.67
    EXPECT_EQ(fontPixelHeight(3, 108), 5);    // 4.5 rounds up
    EXPECT_EQ(fontPixelHeight(-3, 108), -5);  // and away from zero below it
    EXPECT_EQ(fontPixelHeight(0, 96), 0);
    EXPECT_EQ(fontPixelHeight(2147483647, 96), -1);  // does not fit
}

TEST(SettingsFonts, StyleBits) {
    EXPECT_EQ(std::pair(fontWeight(0x300), fontItalic(0x300)), std::pair(700, true));
    EXPECT_EQ(std::pair(fontWeight(0x400), fontItalic(0x400)), std::pair(400, false));  // regular
}

TEST(SettingsFonts, RowHeightFollowsTheListFont) {
    // Default window font 16 px without leading; list font 13 px.
    EXPECT_EQ(listRowHeight(16, 0, -13), 13);
    // Leading counts twice: (16 + 4) * 13 / 16 = 16.25.
    EXPECT_EQ(listRowHeight(16, 2, -13), 16);
    // Truncated, not rounded: 18 * 17 / 16 = 19.125.
    EXPECT_EQ(listRowHeight(16, 1, -17), 19);
    // A cell height (positive) is taken by its size.
    EXPECT_EQ(listRowHeight(16, 0, 13), 13);
    // Unusable metrics leave the height alone; extremes stay acceptable.
    EXPECT_EQ(listRowHeight(0, 0, -13), 0);
    EXPECT_EQ(listRowHeight(16, 0, -1000), 255);
    EXPECT_EQ(listRowHeight(16, 0, 0), 1);
}

}  // namespace
}  // namespace zav2
