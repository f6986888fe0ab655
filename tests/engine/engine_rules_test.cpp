// The player's portable rules, and the capture file: its name and its BMP
// layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/bmp_file.h"
#include "engine/capture_name.h"
#include "engine/player_rules.h"

namespace zav2 {
namespace {

using S = PlayerState;

TEST(SeekTarget, ClampsToTheMediaAndRefusesNonFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(seekTarget(nan, 10));
    EXPECT_FALSE(seekTarget(-inf, 10));
    EXPECT_EQ(seekTarget(-3, 10), 0.0);
    EXPECT_EQ(seekTarget(25, 10), 10.0);
    EXPECT_EQ(seekTarget(25, 0.5), 0.5);  // a clip shorter than a second
    // An unknown, unbounded or empty duration does not limit the target.
    EXPECT_EQ(seekTarget(25, nan), 25.0);
    EXPECT_EQ(seekTarget(25, 0), 25.0);
}

TEST(VolumeDurationAndFrameRate, ClampedAndSanitised) {
    EXPECT_EQ(clampVolume(1.5), 1.0);
    EXPECT_EQ(clampVolume(-0.2), 0.0);
    EXPECT_FALSE(clampVolume(std::nan("")));
    EXPECT_EQ(knownDuration(std::nan("")), 0.0);
    EXPECT_EQ(knownDuration(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_DOUBLE_EQ(frameRateFromPacked((uint64_t{30000} << 32) | 1001), 30000.0 / 1001);
    EXPECT_EQ(frameRateFromPacked(uint64_t{25} << 32), 0.0);  // zero denominator
}

TEST(RewindShortcut, OnlyForTheSameHeldSourceWithoutError) {
    const StringView path = ZT("D:\\Music\\Ä song.mp3");
    for (S state : {S::Loaded, S::Playing, S::Paused})
        EXPECT_TRUE(isRewindOfLoadedSource(path, ZT("d:\\music\\ä SONG.MP3"), false, state));
    EXPECT_FALSE(isRewindOfLoadedSource(path, path, false, S::Stopped));
    EXPECT_FALSE(isRewindOfLoadedSource(path, path, true, S::Playing));
    EXPECT_FALSE(isRewindOfLoadedSource(path, ZT("D:\\Music\\other.mp3"), false, S::Playing));
    EXPECT_FALSE(isRewindOfLoadedSource(ZT(""), ZT(""), false, S::Loaded));
}

TEST(FileUrl, SlashesAndNothingEscaped) {
    EXPECT_EQ(fileUrlForPath(ZT("D:\\My Music\\a.mp3"), UrlForm::Windows),
              ZT("file:///D:/My Music/a.mp3"));
    EXPECT_EQ(fileUrlForPath(ZT("D:\\My Music\\a.mp3"), UrlForm::Wine),
              ZT("file://D:/My Music/a.mp3"));
    EXPECT_EQ(fileUrlForPath(ZT("\\\\server\\share\\x.mp4"), UrlForm::Windows),
              ZT("file://///server/share/x.mp4"));
}

TEST(FrameStepBySeeking, OneFrameFromThePausedPosition) {
    struct Case {
        double position, rate;
        bool forward;
        double lands;
    };
    const Case cases[] = {
        {1.0, 30.0, true, 1.0 + 1.0 / 30}, {1.0, 0.0, true, 1.04},  // unknown rate: 1/25 s
        {1.0, std::nan(""), true, 1.04},   {1.0, 25.0, false, 0.96},
        {0.02, 25.0, false, 0.0},  // never before the start
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(frameStepTarget(c.position, c.rate, c.forward), c.lands, 1e-9)
            << c.position << " at " << c.rate << " fps";
    }
}

TEST(FramePacing, FailuresBackOffAndALostDeviceIsTold) {
    EXPECT_EQ(frameOutcome(0), FrameOutcome::Presented);
    EXPECT_EQ(frameOutcome(0x087A0001), FrameOutcome::Occluded);
    for (uint32_t lost : {0x887A0005u, 0x887A0006u, 0x887A0007u})
        EXPECT_EQ(frameOutcome(static_cast<int32_t>(lost)), FrameOutcome::DeviceLost);
    EXPECT_EQ(frameOutcome(static_cast<int32_t>(0x80004005u)), FrameOutcome::Failed);

    // A persistent failure sleeps longer each turn up to the cap, and the
    // first success goes back to presenting at full pace.
    FrameBackoff backoff;
    const unsigned expected[] = {16, 32, 64, 128, 250, 250, 250};
    for (unsigned ms : expected)
        EXPECT_EQ(backoff.sleepAfter(FrameOutcome::Failed), ms);
    EXPECT_EQ(backoff.sleepAfter(FrameOutcome::Presented), 0u);
    EXPECT_EQ(backoff.sleepAfter(FrameOutcome::DeviceLost), 16u);
    EXPECT_EQ(backoff.sleepAfter(FrameOutcome::NothingDue), 1u);
    EXPECT_EQ(backoff.sleepAfter(FrameOutcome::Failed), 16u);
    EXPECT_GT(backoff.sleepAfter(FrameOutcome::Occluded), 1u);  // no vertical sync to wait on
}

// --- The capture file --------------------------------------------------------

uint32_t read32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

// Width, height and bit count are checked end to end (capture.sh).
TEST(BmpFile, HeadersColourTableAndPixels) {
    const std::string table(4 * 256, 'p');
    const std::string pixels(8 * 3, 'x');  // 5 pixels wide, rows padded to 8
    const auto file = buildBmpFile({5, 3, 8, 8}, table, pixels);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->substr(0, 2), "BM");
    EXPECT_EQ(read32(*file, 2), 54u + 1024 + 24);  // the file's size
    EXPECT_EQ(read32(*file, 6), 0u);               // both reserved words
    EXPECT_EQ(read32(*file, 10), 54u + 1024);      // where the pixels start
    EXPECT_EQ(read32(*file, 14), 40u);
    EXPECT_EQ(read32(*file, 26), 8u << 16 | 1);  // one plane, 8 bits
    for (size_t at = 30; at < 54; at += 4)
        EXPECT_EQ(read32(*file, at), 0u) << "header offset " << at;
    EXPECT_EQ(file->substr(54), table + pixels);
}

TEST(BmpFile, RefusesPartsThatDoNotMatchTheLayout) {
    const std::string pixels(16, '\0');
    EXPECT_FALSE(buildBmpFile({2, 2, 32, 8}, {}, pixels.substr(0, 15)));  // short pixels
    EXPECT_FALSE(buildBmpFile({2, 2, 32, 4}, {}, pixels.substr(0, 8)));   // row too small
    EXPECT_FALSE(buildBmpFile({0, 2, 32, 8}, {}, {}));                    // empty
    EXPECT_FALSE(buildBmpFile({2, 2, 8, 4}, {}, pixels.substr(0, 8)));    // table missing
    EXPECT_TRUE(buildBmpFile({2, 2, 32, 8}, {}, pixels));
    // A file beyond the format's 32-bit size field is refused before any
    // allocation: the pixel length check fails first.
    EXPECT_FALSE(buildBmpFile({0x10000, 0x10000, 32, 0x40000}, {}, pixels));
}

// Source rows of 3 pixels with a pitch of 16 bytes into a tight target.
TEST(PixelRows, CopyBetweenPitchesOnlyWithinBothBuffers) {
    std::vector<uint8_t> source(16 * 2 + 12);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> target(12 * 3, 0xEE);
    const auto copy = [&](size_t pitch, size_t sourceSize, size_t stride, size_t targetSize) {
        return copyPixelRows(source.data(), pitch, sourceSize, target.data(), stride, targetSize,
                             12, 3);
    };
    EXPECT_FALSE(copy(16, source.size() - 1, 12, 36));        // the last source row short
    EXPECT_FALSE(copy(16, source.size(), 8, 36));             // a target stride below a row
    EXPECT_FALSE(copy(16, source.size(), 12, 35));            // the target short
    EXPECT_FALSE(copy(SIZE_MAX / 2, source.size(), 12, 36));  // the offset would wrap
    EXPECT_EQ(target[0], 0xEE);                               // nothing was copied
    ASSERT_TRUE(copy(16, source.size(), 12, 36));
    for (size_t row = 0; row < 3; ++row)
        EXPECT_EQ(std::memcmp(&target[row * 12], &source[row * 16], 12), 0) << "row " << row;
    EXPECT_TRUE(copyPixelRows(nullptr, 0, 0, nullptr, 0, 0, 0, 0));
}

TEST(CaptureName, BaseThenMinutesSecondsHundredthsTruncated) {
    const struct {
        const Char* path;
        double seconds;
        const Char* name;
    } cases[] = {
        {ZT("D:\\v\\clip.mp4"), 83.456, ZT("clip_001_23_45.bmp")},
        {ZT("D:\\v\\base.mp4"), 59.999, ZT("base_000_59_99.bmp")},
        {ZT("D:\\v\\base.mp4"), 60.0, ZT("base_001_00_00.bmp")},
        {ZT("x.mp4"), 1000 * 60 + 1.25, ZT("x_1000_01_25.bmp")},  // past three digits
        // Only the last extension goes.
        {ZT("D:\\a.b\\my.clip.mkv"), 1, ZT("my.clip_000_01_00.bmp")},
        // Positions the engine should not report stay in range.
        {ZT("x.mp4"), -2.5, ZT("x_000_00_00.bmp")},
        {ZT("x.mp4"), std::nan(""), ZT("x_000_00_00.bmp")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captureFileName(c.path, c.seconds), String(c.name)) << c.seconds;
}

// The early start's timing is measured on the entries themselves: a reading
// across a seek or before the media moved must not move it, and no reading
// may push the start far ahead of the end.
TEST(EngineRulesTest, StartTimingReadingsThatMakeNoSenseTellNothing) {
    EXPECT_NEAR(*startLatencyFrom(0.150, 0.100, 1), 0.050, 1e-9);
    EXPECT_NEAR(*startLatencyFrom(0.150, 0.200, 2), 0.050, 1e-9);  // at twice the speed
    EXPECT_FALSE(startLatencyFrom(0.150, 0, 1));                   // not moved yet
    EXPECT_FALSE(startLatencyFrom(0.150, 5, 1));                   // a seek forward
    EXPECT_NEAR(*endShortfallFrom(3.93, 4), 0.07, 1e-9);
    EXPECT_NEAR(endShortfallFrom(0.95, 1).value_or(-1), 0.05, 1e-9);  // a clip under a second
    EXPECT_FALSE(endShortfallFrom(3.93, 0));                          // length unknown
    EXPECT_FALSE(endShortfallFrom(0.001, 4));  // read after the engine went back to 0
    RunningEstimate estimate;
    EXPECT_FALSE(estimate.measured());
    estimate.add(5);  // a stalled end
    EXPECT_EQ(estimate.seconds(), RunningEstimate::kLongest);
    estimate.add(0);
    EXPECT_NEAR(estimate.seconds(), RunningEstimate::kLongest * 3 / 4, 1e-9);
    EXPECT_NEAR(estimate.high(), RunningEstimate::kLongest, 1e-9);  // it strayed by all of it
}

// A track in the audio stream, at 1000 frames a second for round figures:
// its time stands still until its first sample is heard, moves with the
// frames heard, and stops at its end and at its duration.
TEST(StreamPosition, FollowsTheFramesHeardOfItsOwnSpanOnly) {
    const StreamSpan waiting{500, UINT64_MAX, 2.0, false};
    const StreamSpan following{500, UINT64_MAX, 0.0, true};
    const StreamSpan ended{500, 1500, 0.0, true};
    const StreamSpan reseeked{0, UINT64_MAX, 3.25, true};
    struct Case {
        const StreamSpan& span;
        uint64_t played;
        double duration;
        double position;
        bool heard;
    };
    const Case cases[] = {
        {waiting, 900, 0.0, 2.0, false},    // not yet written: where it will start
        {following, 400, 0.0, 0.0, false},  // the track before is still heard
        {following, 750, 0.2, 0.2, false},  // never past its duration
        {ended, 1499, 0.0, 0.999, false},  {ended, 1500, 0.0, 1.0, true},
        {ended, 9000, 0.0, 1.0, true},  // the next one is heard: this one stays at its end
        {reseeked, 500, 0.0, 3.75, false},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(streamPosition(c.span, c.played, 1000, c.duration), c.position)
            << c.played;
        EXPECT_EQ(streamSpanHeard(c.span, c.played), c.heard) << c.played;
    }
    EXPECT_DOUBLE_EQ(streamPosition(following, 750, 0, 0.0), 0.0);  // no device rate yet
}

}  // namespace
}  // namespace zav2
