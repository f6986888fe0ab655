#include "engine/capture_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zav2 {
namespace {

TEST(CaptureName, MinutesSecondsHundredthsTruncated) {
    EXPECT_EQ(captureFileName(ZT("D:\\v\\clip.mp4"), 83.456), String(ZT("clip_001_23_45.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\base.mp4"), 0.004), String(ZT("base_000_00_00.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\base.mp4"), 3725.5), String(ZT("base_062_05_50.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\base.mp4"), 59.999), String(ZT("base_000_59_99.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\base.mp4"), 60.0), String(ZT("base_001_00_00.bmp")));
}

TEST(CaptureName, MinutesGrowPastThreeDigits) {
    EXPECT_EQ(captureFileName(ZT("x.mp4"), 1000 * 60 + 1.25), String(ZT("x_1000_01_25.bmp")));
}

TEST(CaptureName, BaseIsTheFileNameWithoutItsLastExtension) {
    EXPECT_EQ(captureFileName(ZT("D:\\a.b\\my.clip.mkv"), 1), String(ZT("my.clip_000_01_00.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\noext"), 1), String(ZT("noext_000_01_00.bmp")));
    EXPECT_EQ(captureFileName(ZT("D:\\v\\日本語.mp4"), 1), String(ZT("日本語_000_01_00.bmp")));
    EXPECT_EQ(captureFileName(ZT(""), 1), String(ZT("_000_01_00.bmp")));
}

TEST(CaptureName, PositionsTheEngineShouldNotReportStayInRange) {
    EXPECT_EQ(captureFileName(ZT("x.mp4"), -2.5), String(ZT("x_000_00_00.bmp")));
    EXPECT_EQ(captureFileName(ZT("x.mp4"), std::nan("")), String(ZT("x_000_00_00.bmp")));
    const String huge = captureFileName(ZT("x.mp4"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(huge, String(ZT("x_000_00_00.bmp")));
    const String large = captureFileName(ZT("x.mp4"), 1e300);
    EXPECT_EQ(large.substr(large.size() - 4), String(ZT(".bmp")));
}

}  // namespace
}  // namespace zav2
