#include <gtest/gtest.h>

#include "fakes.h"

namespace zav2::test {
namespace {

constexpr int kOrder = 1, kRandom = 2, kSingle = 3, kOnePass = 4;

std::vector<String> paths(std::initializer_list<int> rows) {
    std::vector<String> result;
    for (int row : rows)
        result.push_back(u("/m/") + u(std::to_string(row).c_str()) + u(".mp3"));
    return result;
}

TEST(AdvanceTest, OrderModeWrapsAtBothEnds) {
    Rig rig;
    rig.makeList(3);
    rig.playlist.current = 2;
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.playlist.current, 0);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.window.revealed, 0);
    EXPECT_EQ(rig.window.layouts, 1);

    rig.advance(Direction::Backward, true);
    EXPECT_EQ(rig.playlist.current, 2);
    EXPECT_EQ(rig.player.opened, paths({0, 2}));
}

TEST(AdvanceTest, OnePassStopsAfterTheLastButAManualNextWraps) {
    Rig rig;
    rig.settings.mode = kOnePass;
    rig.makeList(3);
    rig.playlist.current = 1;
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.playlist.current, 2);

    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.playlist.current, 2);
    EXPECT_EQ(rig.player.current, PlayerState::Stopped);
    EXPECT_EQ(rig.player.opened.size(), 1u);
    EXPECT_TRUE(rig.window.messages.empty());

    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.playlist.current, 0);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
}

TEST(AdvanceTest, SingleModeReplaysOnEndButMovesOnRequest) {
    Rig rig;
    rig.settings.mode = kSingle;
    rig.makeList(3);
    rig.playlist.current = 1;
    rig.advance(Direction::Forward, false);
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.player.opened, paths({1, 1}));
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.playlist.current, 2);
    rig.advance(Direction::Backward, true);
    EXPECT_EQ(rig.playlist.current, 1);
}

TEST(AdvanceTest, RandomModeWalksTheShuffledKeys) {
    Rig rig;
    rig.settings.mode = kRandom;
    rig.makeList(3);
    rig.playlist.entries[0].order = 2;
    rig.playlist.entries[1].order = 0;
    rig.playlist.entries[2].order = 1;
    rig.playlist.current = 1;
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.playlist.current, 2);
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.playlist.current, 0);
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.playlist.current, 1);
    rig.advance(Direction::Backward, true);
    EXPECT_EQ(rig.playlist.current, 0);
}

TEST(AdvanceTest, SkipsRoundToTheOriginAndPlaysItAgainSilently) {
    Rig rig;
    rig.settings.ignoreError = true;
    rig.makeList(4, {2});
    rig.makeUnplayable({0, 3});
    rig.playlist.current = 1;
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.playlist.current, 1);
    EXPECT_EQ(rig.player.current, PlayerState::Playing);
    EXPECT_EQ(rig.player.opened, paths({3, 0, 1}));  // 2 is missing: never opened
    EXPECT_TRUE(rig.window.messages.empty());
}

TEST(AdvanceTest, SteppingBackOntoAnUnplayableEntryRetriesForward) {
    Rig rig;
    rig.settings.ignoreError = true;
    rig.makeList(3);
    rig.makeUnplayable({0});
    rig.playlist.current = 1;
    rig.advance(Direction::Backward, true);
    EXPECT_EQ(rig.player.opened, paths({0, 1}));
    EXPECT_EQ(rig.playlist.current, 1);
}

TEST(AdvanceTest, NothingPlayableGivesOneMessageAndAStoppedPlayer) {
    for (int mode : {kOrder, kRandom, kSingle}) {
        for (bool manual : {false, true}) {
            Rig rig;
            rig.settings.mode = mode;
            rig.settings.ignoreError = true;
            rig.makeList(3, {1});
            rig.makeUnplayable({0, 2});
            rig.playlist.current = 0;
            rig.advance(Direction::Forward, manual);
            EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::NothingPlayable})
                << "mode " << mode << " manual " << manual;
            EXPECT_NE(rig.player.current, PlayerState::Playing);
            EXPECT_EQ(rig.playlist.current, 0);
        }
    }
}

TEST(AdvanceTest, OnePassSearchEndsAtTheLastEntry) {
    Rig rig;
    rig.settings.mode = kOnePass;
    rig.settings.ignoreError = true;
    rig.makeList(4);
    rig.makeUnplayable({2, 3});
    rig.playlist.current = 1;
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.player.opened, paths({2, 3}));
    EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::NothingPlayable});
    EXPECT_EQ(rig.playlist.current, 3);
}

TEST(AdvanceTest, WithoutIgnoreErrorTheFirstFailureEndsTheAdvance) {
    Rig rig;
    rig.makeList(3);
    rig.makeUnplayable({1, 2});
    rig.playlist.current = 0;
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.player.opened, paths({1}));
    EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::UnsupportedFile});
}

TEST(AdvanceTest, ThousandsOfUnplayableEntriesEndWithOneMessage) {
    Rig rig;
    rig.settings.ignoreError = true;
    rig.makeList(5000);
    rig.window.files.clear();
    rig.playlist.current = 7;
    rig.advance(Direction::Forward, false);
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.playlist.current, 7);
}

TEST(AdvanceTest, BrokenOrderKeysCannotLoopForever) {
    Rig rig;
    rig.settings.ignoreError = true;
    rig.makeList(3);
    rig.window.files.clear();
    for (PlaylistEntry& entry : rig.playlist.entries)
        entry.order = 5;  // no entry holds the next key: current never moves
    rig.playlist.current = 1;
    Advance(rig.context, rig.playlist, Direction::Forward, rig.settings, 0, false);
    EXPECT_EQ(rig.window.messages.size(), 1u);
}

TEST(AdvanceTest, EmptyListDoesNothing) {
    Rig rig;
    rig.makeList(0);
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.player.stops, 0);
    EXPECT_EQ(rig.window.layouts, 0);
}

// The list and the player must not go out of step: an advance during a load
// (from a message box's loop) or with a player that will not stop leaves
// current where it is.
TEST(AdvanceTest, LoadingOrAPlayerThatWillNotStopKeepsCurrent) {
    for (bool loading : {true, false}) {
        Rig rig;
        rig.makeList(3);
        rig.playlist.current = 0;
        rig.play(0);
        rig.entryLoading = loading;
        rig.player.refuseStop = !loading;
        rig.advance(Direction::Forward, true);
        EXPECT_EQ(rig.playlist.current, 0) << loading;
        EXPECT_EQ(rig.player.opened, paths({0})) << loading;
        EXPECT_EQ(rig.player.current, PlayerState::Playing) << loading;
    }
}

// Whenever playback ends for good the keep-awake request goes.
TEST(AdvanceTest, TheEndOfPlaybackCancelsKeepAwake) {
    struct Case {
        int mode;
        bool ignoreError;
        std::initializer_list<int> unplayable;
        int from;
    } const cases[] = {
        {kOnePass, false, {}, 2},      // the pass is over
        {kOrder, true, {0, 1, 2}, 0},  // nothing playable
        {kOrder, false, {1}, 0},       // an unsupported file
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.settings.mode = c.mode;
        rig.settings.ignoreError = c.ignoreError;
        rig.settings.noStandby = true;
        rig.makeList(3);
        rig.playlist.current = c.from;
        rig.play(c.from);
        rig.makeUnplayable(c.unplayable);
        rig.window.executionStates.clear();
        rig.advance(Direction::Forward, false);
        ASSERT_FALSE(rig.window.executionStates.empty()) << c.mode;
        EXPECT_EQ(rig.window.executionStates.back(), 0x80000000u) << c.mode;
    }
}

}  // namespace
}  // namespace zav2::test
