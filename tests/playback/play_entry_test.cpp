#include <gtest/gtest.h>

#include "fakes.h"
#include "playback/caption.h"

namespace zav2::test {
namespace {

TEST(PlayEntryTest, StartsAStoppedEntryWithRateVolumeTimerAndPowerRequest) {
    Rig rig(3);
    rig.settings.volume = 640;
    rig.settings.rate = 2000;
    rig.settings.masterVolume = true;
    rig.settings.noStandby = true;

    EXPECT_EQ(rig.play(1), PlayResult::Handled);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.player.lastOpened(), u("/m/1.mp3"));
    EXPECT_DOUBLE_EQ(rig.player.rate, 2.0);
    EXPECT_DOUBLE_EQ(rig.player.volume, 0.64);
    EXPECT_EQ(rig.window.outputVolume, 640);
    EXPECT_TRUE(rig.window.outputMaster);
    EXPECT_TRUE(rig.window.timerRunning);
    EXPECT_EQ(rig.window.caption, u("1.mp3") + ZT("【×2】"));
    EXPECT_EQ(rig.savedTitle, u("1.mp3"));
    // Any earlier request is cancelled before the new one is made.
    EXPECT_EQ(rig.window.executionStates, (std::vector<uint32_t>{0x80000000u, 0x80000001u}));
    EXPECT_FALSE(rig.entryLoading);
    EXPECT_EQ(rig.engineReady.load(), 0);
    EXPECT_TRUE(rig.window.messages.empty());
}

TEST(PlayEntryTest, SamePlayRequestPausesAndResumesWithoutReopening) {
    Rig rig(2);
    rig.play(0);
    ASSERT_EQ(rig.player.opened.size(), 1u);
    // Without the setting an earlier keep-awake request is only cancelled.
    EXPECT_EQ(rig.window.executionStates, std::vector<uint32_t>{0x80000000u});

    rig.play(1);
    EXPECT_EQ(rig.player.current, PlayerState::Paused);
    rig.play(1);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.player.opened.size(), 1u);
}

TEST(PlayEntryTest, EmptyListAndAStartDuringALoadDoNothing) {
    Rig rig;
    EXPECT_EQ(PlayEntry(rig.context, {}, -1, -1, rig.settings), PlayResult::Handled);
    rig.makeList(1);
    rig.entryLoading = true;
    EXPECT_EQ(rig.play(0), PlayResult::Handled);
    EXPECT_TRUE(rig.player.opened.empty());
    EXPECT_EQ(rig.window.caption, u("Zav2"));
}

TEST(PlayEntryTest, MissingFileLeavesEverythingAsItWas) {
    Rig rig(2, {1});
    rig.play(0);
    rig.player.current = PlayerState::Stopped;
    const String caption = rig.window.caption;
    const int stops = rig.player.stops;

    EXPECT_EQ(rig.play(1), PlayResult::Handled);
    EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::FileNotFound});
    EXPECT_EQ(rig.window.caption, caption);
    EXPECT_EQ(rig.player.stops, stops);
    EXPECT_EQ(rig.player.opened.size(), 1u);

    rig.settings.ignoreError = true;
    EXPECT_EQ(rig.play(1), PlayResult::Skipped);
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.player.stops, stops);
}

TEST(PlayEntryTest, UnsupportedFileStopsThePreviousMediaAndWarns) {
    Rig rig(2);
    rig.makeUnplayable({1});
    rig.settings.displayMode = 3;
    rig.play(0);
    rig.player.current = PlayerState::Stopped;

    EXPECT_EQ(rig.play(1), PlayResult::Handled);
    EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::UnsupportedFile});
    EXPECT_EQ(rig.window.caption, u("1.mp3"));
    EXPECT_FALSE(rig.window.timerRunning);
    EXPECT_FALSE(rig.entryLoading);
    // A failed load in full screen must not leave the taskbar hidden.
    EXPECT_FALSE(rig.window.taskbarHidden);

    rig.settings.ignoreError = true;
    EXPECT_EQ(rig.play(1), PlayResult::Skipped);
    EXPECT_EQ(rig.window.messages.size(), 1u);
}

// In full screen the taskbar is hidden only while the engine loads.
TEST(PlayEntryTest, WaitsAtMostThirtyTicksForTheEngine) {
    Rig rig(1);
    rig.settings.displayMode = 3;
    rig.player.readyAtOnce = false;
    rig.player.readyAfterTicks = 5;  // the can-play event comes late
    EXPECT_EQ(rig.play(0), PlayResult::Handled);
    EXPECT_EQ(rig.window.ticks, 5);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.engineReady.load(), 0);
    EXPECT_TRUE(rig.window.taskbarHiddenWhileWaiting);
    EXPECT_FALSE(rig.window.taskbarHidden);

    Rig silent(1);
    silent.player.readyAtOnce = false;
    EXPECT_EQ(silent.play(0), PlayResult::Handled);
    EXPECT_EQ(silent.window.ticks, kReadyWaitTicks);
    EXPECT_EQ(silent.player.current, PlayerState::Loaded);
    EXPECT_FALSE(silent.window.timerRunning);
    EXPECT_TRUE(silent.window.messages.empty());
    EXPECT_FALSE(silent.entryLoading);
    EXPECT_FALSE(silent.window.taskbarHiddenWhileWaiting);  // not in full screen
}

// Rates between the marked steps show no marker; above normal speed the whole
// factor is shown.
TEST(PlayEntryTest, CaptionRateMarker) {
    EXPECT_EQ(captionWithRate(u("T"), 1000), u("T"));
    EXPECT_EQ(captionWithRate(u("T"), 700), u("T"));
    EXPECT_EQ(captionWithRate(u("T"), 1500), String(ZT("T【×1】")));
    EXPECT_EQ(captionWithRate(u("T"), 125), String(ZT("T【×0.125】")));
}

TEST(PlayEntryTest, UpdateCaptionReselectsTheEntryOnlyWhenItLeadsTheSelection) {
    Rig rig;
    rig.window.selected = 2;
    UpdateCaption(rig.context, u("/m/x.mp3"), 2, {}, 1000);
    EXPECT_EQ(rig.window.selectCalls, 1);
    UpdateCaption(rig.context, u("/m/x.mp3"), 3, {}, 1000);
    EXPECT_EQ(rig.window.selectCalls, 1);
}

}  // namespace
}  // namespace zav2::test
