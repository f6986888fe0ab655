#include "engine/capture_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zav2 {
namespace {

TEST(CaptureName, BaseThenMinutesSecondsHundredthsTruncated) {
    const struct {
        const Char* path;
        double seconds;
        const Char* name;
    } cases[] = {
        {ZT("D:\\v\\clip.mp4"), 83.456, ZT("clip_001_23_45.bmp")},
        {ZT("D:\\v\\base.mp4"), 0.004, ZT("base_000_00_00.bmp")},
        {ZT("D:\\v\\base.mp4"), 3725.5, ZT("base_062_05_50.bmp")},
        {ZT("D:\\v\\base.mp4"), 59.999, ZT("base_000_59_99.bmp")},
        {ZT("D:\\v\\base.mp4"), 60.0, ZT("base_001_00_00.bmp")},
        {ZT("x.mp4"), 1000 * 60 + 1.25, ZT("x_1000_01_25.bmp")},  // past three digits
        // Only the last extension goes.
        {ZT("D:\\a.b\\my.clip.mkv"), 1, ZT("my.clip_000_01_00.bmp")},
        {ZT("D:\\v\\noext"), 1, ZT("noext_000_01_00.bmp")},
        {ZT("D:\\v\\日本語.mp4"), 1, ZT("日本語_000_01_00.bmp")},
        {ZT(""), 1, ZT("_000_01_00.bmp")},
        // Positions the engine should not report stay in range.
        {ZT("x.mp4"), -2.5, ZT("x_000_00_00.bmp")},
        {ZT("x.mp4"), std::nan(""), ZT("x_000_00_00.bmp")},
        {ZT("x.mp4"), std::numeric_limits<double>::infinity(), ZT("x_000_00_00.bmp")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captureFileName(c.path, c.seconds), String(c.name)) << c.seconds;
    const String large = captureFileName(ZT("x.mp4"), 1e300);
    EXPECT_EQ(large.substr(large.size() - 4), String(ZT(".bmp")));
}

}  // namespace
}  // namespace zav2
