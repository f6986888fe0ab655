// The encoder's delay and padding read from an MP3's Xing/Info frame, on
// frames built here byte by byte as encoders lay them out.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/mp3_gapless.h"

namespace zav2 {
namespace {

struct FrameLayout {
    std::string header;  // four bytes
    size_t sideInfo;
    std::string tag;  // "Xing" or "Info"
    uint32_t flags;
    uint32_t frames;
    std::string encoder;
    uint32_t delay;
    uint32_t padding;
};

std::string be32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string frameOf(const FrameLayout& f) {
    std::string bytes = f.header + std::string(f.sideInfo, '\0') + f.tag + be32(f.flags);
    if (f.flags & 1)
        bytes += be32(f.frames);
    if (f.flags & 2)
        bytes += be32(123456);
    if (f.flags & 4)
        bytes += std::string(100, '\x7f');
    if (f.flags & 8)
        bytes += be32(57);
    std::string extension = f.encoder;
    extension.resize(21, '\x01');  // revision, low-pass, gain, flags, bit rate
    const uint32_t packed = f.delay << 12 | f.padding;
    extension += {static_cast<char>(packed >> 16), static_cast<char>(packed >> 8),
                  static_cast<char>(packed)};
    return bytes + extension + std::string(64, '\0');
}

const std::string kMpeg1Stereo = "\xFF\xFB\x90\x64";
const std::string kMpeg2Mono = "\xFF\xF3\x64\xC4";

TEST(Mp3Trim, DelayAndPaddingAroundTheMusic) {
    const struct {
        FrameLayout layout;
        uint32_t skip;
        uint64_t keep;  // 0 when no trim is found
    } cases[] = {
        // ffmpeg's 4 s at 44.1 kHz: 154 frames, 576 + 432 samples around them.
        {{kMpeg1Stereo, 32, "Info", 0xF, 154, "Lavc60.31", 576, 432}, 576 + 529, 176400},
        // MPEG-2 mono: a shorter side information and 576 samples a frame.
        {{kMpeg2Mono, 9, "Xing", 0x3, 10, "LAME3.99r", 1152, 500}, 1681, 4108},
        {{kMpeg1Stereo, 17, "Info", 0xF, 154, "Lavc60.31", 576, 432}, 0, 0},  // misplaced
        {{kMpeg1Stereo, 32, "Info", 0xE, 154, "Lavc60.31", 576, 432}, 0, 0},  // no count
        {{kMpeg1Stereo, 32, "Info", 0xF, 154, "\x01\x02\x03\x04", 576, 432}, 0, 0},
        {{kMpeg1Stereo, 32, "Info", 0xF, 154, "LAME3.100", 0, 0}, 0, 0},
        {{kMpeg1Stereo, 32, "Info", 0xF, 1, "LAME3.100", 576, 1000}, 0, 0},         // too short
        {{"\xFF\xFD\x90\x64", 32, "Info", 0xF, 154, "LAME3.100", 576, 432}, 0, 0},  // Layer II
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout.encoder << " " << c.layout.sideInfo);
        const std::optional<Mp3Trim> trim = mp3Trim(frameOf(c.layout));
        ASSERT_EQ(trim.has_value(), c.keep != 0);
        const uint64_t total = c.layout.frames * (c.layout.sideInfo == 9 ? 576u : 1152u);
        if (trim) {
            EXPECT_EQ(std::tuple(trim->skip, trim->keep, trim->total),
                      std::tuple(c.skip, c.keep, total));
        }
    }
    // Cut anywhere before the padding's last byte: nothing, and no read past it.
    const std::string whole = frameOf(cases[0].layout);
    for (size_t size = 0; size < 4 + 32 + 8 + 4 + 4 + 100 + 4 + 24; ++size)
        EXPECT_FALSE(mp3Trim(whole.substr(0, size))) << size;
}

// ffmpeg's 4 s at 44.1 kHz, decoded by decoders of each kind.
TEST(Mp3Trim, WhatTheDecoderGaveOfAWholeFile) {
    const Mp3Trim trim{576 + 529, 176400, 177408};
    const struct {
        uint64_t decoded;
        std::optional<Mp3DecoderOutput> output;
    } cases[] = {
        {177408, Mp3DecoderOutput::EveryFrame},         // Wine's GStreamer decoder
        {177408 + 1152, Mp3DecoderOutput::EveryFrame},  // the header's frame as silence
        {176400, Mp3DecoderOutput::MusicOnly},          // within a frame of the count, but exact
        {177408 - 1153, std::nullopt},                  // cut short
        {177408 + 1153, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mp3DecoderOutput(c.decoded, trim), c.output) << c.decoded;
}

TEST(Mp3Trim, TheTagBeforeTheFirstFrame) {
    EXPECT_EQ(id3v2TagBytes(std::string("ID3\x04\x00\x00\x00\x00\x02\x01", 10)), 10u + 257);
    EXPECT_EQ(id3v2TagBytes(std::string("ID3\x04\x00\x10\x00\x00\x00\x05", 10)), 10u + 5 + 10);
    EXPECT_EQ(id3v2TagBytes("RIFF....WA"), 0u);
    EXPECT_EQ(id3v2TagBytes("ID3"), 0u);
}

}  // namespace
}  // namespace zav2
