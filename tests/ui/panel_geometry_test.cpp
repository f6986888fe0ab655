#include "ui/panel_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace zav2 {
namespace {

TEST(PictureInPanel, ThreeViewSizes) {
    const Box panel{10, 20, 1000, 600};
    const struct {
        int width, height, viewSize;
        Box source, target;
    } cases[] = {
        {400, 300, kViewZoom, {0, 0, 400, 300}, {110, 20, 800, 600}},
        {400, 300, kViewOriginal, {0, 0, 400, 300}, {310, 170, 400, 300}},
        {2000, 300, kViewZoom, {0, 0, 2000, 300}, {10, 245, 1000, 150}},
        // Larger than the panel, unscaled: the middle is cut out.
        {1201, 700, kViewOriginal, {100, 50, 1001, 600}, {10, 20, 1001, 600}},
    };
    for (const auto& c : cases) {
        const PictureDraw draw = pictureInPanel(c.width, c.height, panel, c.viewSize);
        EXPECT_EQ(c.source, draw.source) << c.width << " " << c.viewSize;
        EXPECT_EQ(c.target, draw.target) << c.width << " " << c.viewSize;
    }
    EXPECT_EQ(Box{}, pictureInPanel(0, 300, panel, kViewZoom).target);
}

// A small video in each view size is checked end to end (e2e panel).
TEST(VideoInPanel, LargerThanThePanelOrEmpty) {
    EXPECT_EQ((Box{-640, -300, 1920, 1080}), videoInPanel(1920, 1080, 640, 480, kViewOriginal));
    EXPECT_EQ(Box{}, videoInPanel(0, 1080, 640, 480, kViewZoom));
}

// A PNG of 30000 x 30000 pixels is refused end to end (e2e panel).
TEST(PictureSize, ZeroAndHugeRefusedBeforeDecoding) {
    EXPECT_TRUE(acceptablePictureSize(8000, 8000));
    EXPECT_FALSE(acceptablePictureSize(8000, 8001));
    EXPECT_FALSE(acceptablePictureSize(0, 10));
    EXPECT_FALSE(acceptablePictureSize(1ull << 32, 1ull << 32));  // the product overflows 64 bits
    using namespace std::string_literals;
    const std::string png = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s;
    const std::string jpeg = "\xFF\xD8\xFF\xE0\0\x04JF\xFF\xC0\0\x11\x08"s;
    const struct {
        std::string bytes;
        bool expected;
    } cases[] = {
        {png + "\0\0\x01\0\0\0\x01\0"s, true},  // 256 x 256
        {png + "\0\0\0\0\0\0\x01\0"s, false},   // zero width
        {jpeg + "\x01\x00\x01\x40"s, true},     // 320 x 256
        {jpeg + "\xFF\xFF\xFF\xFF"s, false},    // 65535 x 65535
        {jpeg + "\0\0\x01\x40"s, false},        // zero height
        {"\xFF\xD8\xFF\xE0\xFF\xFF"s, true},    // cut short: left to the decoder
        {"GIF89a"s, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, pictureHeaderAcceptable(c.bytes)) << c.bytes.size();
}

}  // namespace
}  // namespace zav2
