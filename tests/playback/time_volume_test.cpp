#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "playback/time_display.h"
#include "playback/volume.h"

namespace zav2 {
namespace {

String u(const char* text) {
    return utf8ToUtf16(text);
}

TEST(TimeDisplayTest, FormatSwitchesToThreeDigitMinutesAt6000Seconds) {
    EXPECT_EQ(formatTimeText(0, 0), u("00:00 / 00:00"));
    EXPECT_EQ(formatTimeText(65, 200), u("01:05 / 03:20"));
    EXPECT_EQ(formatTimeText(5999, 5999), u("99:59 / 99:59"));
    EXPECT_EQ(formatTimeText(65, 6000), u("001:05/100:00"));
    EXPECT_EQ(formatTimeText(65, 7250), u("001:05/120:50"));
}

TEST(TimeDisplayTest, PositionsRoundUp) {
    EXPECT_EQ(roundUpSeconds(59.2), 60u);
    EXPECT_EQ(roundUpSeconds(0.1), 1u);
    EXPECT_EQ(roundUpSeconds(3.0), 3u);
    EXPECT_EQ(seekBarPosition(0.01), 1);
    // The engine's NaN (unknown) and infinity (unbounded) are no time at all.
    EXPECT_EQ(roundUpSeconds(std::nan("")), 0u);
    EXPECT_EQ(roundUpSeconds(std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(seekBarPosition(-1.0), 0);
}

TEST(TimeDisplayTest, ShownPositionStopsAtAKnownDuration) {
    EXPECT_EQ(shownPosition(4.02, 4), 4u);
    EXPECT_EQ(shownPosition(3.2, 4), 4u);
    EXPECT_EQ(shownPosition(12.5, 0), 13u);  // unknown length: the position alone
}

TEST(TimeDisplayTest, DurationNeedsAnEntryAndLoadedMedia) {
    EXPECT_EQ(mediaDurationSeconds(true, PlayerState::Playing, 183.2), 184u);
    EXPECT_EQ(mediaDurationSeconds(true, PlayerState::Paused, 10.0), 10u);
    EXPECT_EQ(mediaDurationSeconds(false, PlayerState::Playing, 183.2), 0u);
    EXPECT_EQ(mediaDurationSeconds(true, PlayerState::Stopped, 183.2), 0u);
    EXPECT_EQ(
        mediaDurationSeconds(true, PlayerState::Playing, std::numeric_limits<double>::infinity()),
        0u);
}

TEST(SeekBarTest, ThumbDragShowsAndReleaseSeeksWholeSeconds) {
    EXPECT_EQ(thumbTrackText(1234, 300), u("02:03 / 05:00"));
    EXPECT_EQ(thumbReleaseTarget(1234, 300), std::optional<unsigned>(123));
    EXPECT_EQ(thumbReleaseTarget(2999, 300), std::optional<unsigned>(299));
    EXPECT_EQ(thumbReleaseTarget(3000, 300), std::nullopt);  // at the end: next entry
    EXPECT_EQ(thumbReleaseTarget(0, 0), std::nullopt);
}

TEST(SeekBarTest, ChannelClickMapsInsideTheMargins) {
    // A bar from x 100 to 320: the scale runs from 109 to 311 (202 pixels).
    EXPECT_EQ(channelClickValue(109, 100, 320, 3000), 0);
    EXPECT_EQ(channelClickValue(210, 100, 320, 3000), 1500);
    EXPECT_EQ(channelClickValue(311, 100, 320, 3000), 3000);
    EXPECT_EQ(channelClickValue(110, 100, 320, 3000), 14);  // 14.85 truncated
    EXPECT_EQ(channelClickValue(101, 100, 320, 3000), 0);
    EXPECT_EQ(channelClickValue(319, 100, 320, 3000), 3000);
    EXPECT_EQ(channelClickValue(210, 100, 320, 100), 50);
    EXPECT_EQ(channelClickValue(115, 100, 110, 100), 0);  // too narrow for a scale
}

TEST(VolumeTest, KeysWheelAndWaveOut) {
    EXPECT_EQ(volumeAfterKey(980, true), 1000);
    EXPECT_EQ(volumeAfterKey(30, false), 0);
    EXPECT_EQ(sliderAfterWheel(50, 120), 55);
    EXPECT_EQ(sliderAfterWheel(50, -240), 40);
    EXPECT_EQ(sliderAfterWheel(98, 120), 100);
    EXPECT_EQ(sliderAfterWheel(2, -120), 0);
    EXPECT_EQ(sliderAfterWheel(50, 60), 52);  // half a notch: 2 steps
    EXPECT_EQ(waveOutVolume(1000), 0xFFFFFFFFu);
    EXPECT_EQ(waveOutVolume(0), 0u);
    EXPECT_EQ(waveOutVolume(500), 0x7FFF7FFFu);  // each channel at half
}

}  // namespace
}  // namespace zav2
