// Where the audio stream puts a decoder's samples and which of them it keeps.
#include <gtest/gtest.h>

#include <string>

#include "engine/stream_samples.h"

namespace zav2 {
namespace {

TEST(StreamSamples, TimesAndFramesRoundToTheNearest) {
    const struct {
        int64_t time;
        uint32_t rate;
        int64_t frame;
    } cases[] = {
        {261224, 44100, 1152},    // an MP3 frame's time stamp, as Wine gives it
        {-226757, 44100, -1000},  // priming before the start
        {0, 48000, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(frameAtTime(c.time, c.rate), c.frame) << c.time;
        // Back and forth loses nothing at audio rates (a frame is > 100 ns).
        EXPECT_EQ(frameAtTime(timeOfFrame(c.frame, c.rate), c.rate), c.frame) << c.frame;
    }
    EXPECT_EQ(timeOfFrame(5, 0), 0);
}

TEST(StreamSamples, TheWantedPartOfABlock) {
    const struct {
        int64_t first;
        uint64_t frames;
        int64_t from;
        int64_t to;
        uint64_t begin;
        uint64_t end;
    } cases[] = {
        {0, 1152, 1105, INT64_MAX, 1105, 1152},    // the first frame after the delay
        {88704, 1152, 1105, 89305, 0, 601},        // the music ends inside it
        {89856, 1152, 1105, 89305, 0, 0},          // padding only
        {44000, 828, 44100, INT64_MAX, 100, 828},  // a seek landed early
        {-500, 1000, 0, INT64_MAX, 500, 1000},     // priming
        {0, 100, 200, 150, 100, 100},              // nothing wanted
    };
    for (const auto& c : cases) {
        const FrameRange range = framesWithin(c.first, c.frames, c.from, c.to);
        EXPECT_EQ(range.begin, c.begin) << c.first;
        EXPECT_EQ(range.end, c.end) << c.first;
    }
}

TEST(StreamSamples, IntegerPcmAsFloat) {
    const struct {
        std::string bytes;
        uint32_t bits;
        std::vector<float> samples;
    } cases[] = {
        {std::string("\x00\x80\xFF", 3), 8, {-1.0f, 0.0f, 127.0f / 128}},
        {std::string("\x00\x80\xFF\x7F\xFF\xFF", 6), 16, {-1.0f, 32767.0f / 32768, -1.0f / 32768}},
        {std::string("\x00\x00\x80\x00\x00\x40", 6), 24, {-1.0f, 0.5f}},
        {std::string("\x00\x00\x00\x80\xFF\xFF\xFF\xFF", 8), 32, {-1.0f, -1.0f / 2147483648.0f}},
    };
    for (const auto& c : cases) {
        std::vector<float> out;
        ASSERT_TRUE(pcmToFloat(c.bytes, c.bits, out)) << c.bits;
        EXPECT_EQ(out, c.samples) << c.bits;
    }
    std::vector<float> out{0.25f};
    EXPECT_FALSE(pcmToFloat(std::string(5, '\0'), 24, out));  // a sample cut off
    EXPECT_FALSE(pcmToFloat(std::string(4, '\0'), 12, out));
    EXPECT_EQ(out, std::vector<float>{0.25f});  // nothing appended
}

}  // namespace
}  // namespace zav2
