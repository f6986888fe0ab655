#include "engine/player_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zav2 {
namespace {

using S = PlayerState;

TEST(SeekTarget, ClampsToTheMediaAndRefusesNonFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(seekTarget(nan, 10));
    EXPECT_FALSE(seekTarget(inf, 10));
    EXPECT_FALSE(seekTarget(-inf, 10));
    EXPECT_EQ(seekTarget(-3, 10), 0.0);
    EXPECT_EQ(seekTarget(4.5, 10), 4.5);
    EXPECT_EQ(seekTarget(10, 10), 10.0);
    EXPECT_EQ(seekTarget(25, 10), 10.0);
    // An unknown, unbounded or empty duration does not limit the target.
    EXPECT_EQ(seekTarget(25, nan), 25.0);
    EXPECT_EQ(seekTarget(25, inf), 25.0);
    EXPECT_EQ(seekTarget(25, 0), 25.0);
}

TEST(VolumeAndDuration, ClampAndSanitise) {
    EXPECT_EQ(clampVolume(1.5), 1.0);
    EXPECT_EQ(clampVolume(-0.2), 0.0);
    EXPECT_EQ(clampVolume(0.25), 0.25);
    EXPECT_FALSE(clampVolume(std::nan("")));
    EXPECT_EQ(clampVolume(std::numeric_limits<double>::infinity()), 1.0);

    EXPECT_EQ(knownDuration(std::nan("")), 0.0);
    EXPECT_EQ(knownDuration(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(knownDuration(83.5), 83.5);
}

TEST(FrameRate, NumeratorOverDenominator) {
    EXPECT_DOUBLE_EQ(frameRateFromPacked((uint64_t{30000} << 32) | 1001), 30000.0 / 1001);
    EXPECT_DOUBLE_EQ(frameRateFromPacked((uint64_t{25} << 32) | 1), 25.0);
    EXPECT_DOUBLE_EQ(frameRateFromPacked((uint64_t{0xFFFFFFFF} << 32) | 1), 4294967295.0);
    EXPECT_EQ(frameRateFromPacked(uint64_t{25} << 32), 0.0);  // zero denominator
    EXPECT_EQ(frameRateFromPacked(0), 0.0);
}

TEST(RewindShortcut, OnlyForTheSameHeldSourceWithoutError) {
    const StringView path = ZT("D:\\Music\\Ä song.mp3");
    for (S state : {S::Loaded, S::Playing, S::Paused})
        EXPECT_TRUE(isRewindOfLoadedSource(path, ZT("d:\\music\\ä SONG.MP3"), false, state));
    EXPECT_FALSE(isRewindOfLoadedSource(path, path, false, S::Stopped));
    EXPECT_FALSE(isRewindOfLoadedSource(path, path, false, S::Closed));
    EXPECT_FALSE(isRewindOfLoadedSource(path, path, true, S::Playing));
    EXPECT_FALSE(isRewindOfLoadedSource(path, ZT("D:\\Music\\other.mp3"), false, S::Playing));
    EXPECT_FALSE(isRewindOfLoadedSource(ZT(""), ZT(""), false, S::Loaded));
}

TEST(FileUrl, SlashesAndNothingEscaped) {
    EXPECT_EQ(fileUrlForPath(ZT("D:\\My Music\\a.mp3"), UrlForm::Windows),
              String(ZT("file:///D:/My Music/a.mp3")));
    EXPECT_EQ(fileUrlForPath(ZT("D:\\My Music\\a.mp3"), UrlForm::Wine),
              String(ZT("file://D:/My Music/a.mp3")));
    EXPECT_EQ(fileUrlForPath(ZT("Z:\\tmp\\日本語 #1%.mp3"), UrlForm::Windows),
              String(ZT("file:///Z:/tmp/日本語 #1%.mp3")));
    EXPECT_EQ(fileUrlForPath(ZT("\\\\server\\share\\x.mp4"), UrlForm::Windows),
              String(ZT("file://///server/share/x.mp4")));
}

TEST(FrameStepBySeeking, OneFrameFromThePausedPosition) {
    struct Case {
        double position, rate;
        bool forward;
        double lands;
    };
    const Case cases[] = {
        {1.0, 25.0, true, 1.04},         {1.0, 30.0, true, 1.0 + 1.0 / 30},
        {1.0, 0.0, true, 1.04},  // unknown rate: 1/25 s
        {1.0, std::nan(""), true, 1.04}, {1.0, 25.0, false, 0.96},
        {0.02, 25.0, false, 0.0},  // never before the start
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(frameStepTarget(c.position, c.rate, c.forward), c.lands, 1e-9)
            << c.position << " at " << c.rate << " fps";
    }
}

TEST(FramePacing, FailuresBackOffAndALostDeviceIsTold) {
    EXPECT_EQ(frameOutcome(0), FrameOutcome::Presented);
    EXPECT_EQ(frameOutcome(1), FrameOutcome::NothingDue);
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

}  // namespace
}  // namespace zav2
