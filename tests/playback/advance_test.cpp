#include <gtest/gtest.h>

#include "fakes.h"

namespace zav2::test {
namespace {

constexpr int kOrder = 1, kRandom = 2, kSingle = 3, kOnePass = 4;
constexpr Direction kFwd = Direction::Forward, kBack = Direction::Backward;
// Keep-awake states: the request while something plays, its cancellation once
// playback ends for good.
constexpr uint32_t kRequest = 0x80000001u, kCancel = 0x80000000u;

std::vector<String> paths(std::initializer_list<int> rows) {
    std::vector<String> result;
    for (int row : rows)
        result.push_back(u("/m/") + u(std::to_string(row).c_str()) + u(".mp3"));
    return result;
}

// One step from a playing entry of three. Random mode walks the shuffled keys
// {2, 0, 1}; ONE mode stops after the last entry unless the step is asked for.
TEST(AdvanceTest, EachModeStepsToItsNextEntry) {
    struct Case {
        int mode, from;
        Direction direction;
        bool manual;
        int to;  // -1: the player stays stopped on `from`
    } const cases[] = {
        {kOrder, 2, kFwd, false, 0},    {kOrder, 0, kBack, true, 2},  {kOnePass, 1, kFwd, false, 2},
        {kOnePass, 2, kFwd, false, -1}, {kOnePass, 2, kFwd, true, 0}, {kSingle, 1, kFwd, false, 1},
        {kSingle, 1, kFwd, true, 2},    {kSingle, 1, kBack, true, 0}, {kRandom, 1, kFwd, true, 2},
        {kRandom, 2, kFwd, false, 0},   {kRandom, 0, kFwd, false, 1}, {kRandom, 1, kBack, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.from);
        Rig rig(3);
        if (c.mode == kRandom) {
            for (int i : {0, 1, 2})
                rig.playlist.entries[i].order = (i + 2) % 3;
        }
        rig.startAt(c.from, c.mode);
        rig.advance(c.direction, c.manual);
        EXPECT_TRUE(rig.window.messages.empty());
        EXPECT_EQ(rig.window.executionStates.back(), c.to < 0 ? kCancel : kRequest);
        if (c.to < 0) {
            EXPECT_EQ(rig.playlist.current, c.from);
            EXPECT_EQ(rig.player.current, PlayerState::Stopped);
            EXPECT_TRUE(rig.player.opened.empty());
        } else {
            EXPECT_EQ(rig.playlist.current, c.to);
            EXPECT_EQ(rig.player.current, PlayerState::Playing);
            EXPECT_EQ(rig.player.opened, paths({c.to}));
            EXPECT_EQ(rig.window.revealed, c.to);
        }
    }
}

// Entries that are missing or will not open are skipped (with IgnoreError)
// until one plays or the search comes back round; never more than one message.
TEST(AdvanceTest, SkippingEndsOnAPlayableEntryOrWithOneMessage) {
    using M = PlaybackMessage;
    struct Case {
        int mode;
        bool ignoreError;
        int count;
        std::set<int> missing, unplayable;
        int from;
        Direction direction;
        std::initializer_list<int> opened;
        int currentAfter;
        std::vector<M> messages;
    } const cases[] = {
        // Round to the origin, which plays again without a message.
        {kOrder, true, 4, {2}, {0, 3}, 1, kFwd, {3, 0, 1}, 1, {}},
        // A step back onto an entry that will not open retries forward.
        {kOrder, true, 3, {}, {0}, 1, kBack, {0, 1}, 1, {}},
        // ONE mode's search ends at the last entry.
        {kOnePass, true, 4, {}, {2, 3}, 1, kFwd, {2, 3}, 3, {M::NothingPlayable}},
        // Without IgnoreError the first failure ends the advance.
        {kOrder, false, 3, {}, {1, 2}, 0, kFwd, {1}, 1, {M::UnsupportedFile}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Rig rig(c.count, c.missing);
        rig.settings.ignoreError = c.ignoreError;
        rig.startAt(c.from, c.mode);
        rig.makeUnplayable(c.unplayable);
        rig.advance(c.direction, c.mode != kOnePass);  // ONE mode: the end of an entry
        EXPECT_EQ(rig.window.executionStates.back(), c.messages.empty() ? kRequest : kCancel);
        EXPECT_EQ(rig.player.opened, paths(c.opened));
        EXPECT_EQ(rig.playlist.current, c.currentAfter);
        EXPECT_EQ(rig.window.messages, c.messages);
    }
}

TEST(AdvanceTest, NothingPlayableGivesOneMessageAndAStoppedPlayer) {
    for (int mode : {kOrder, kRandom, kSingle}) {
        for (bool manual : {false, true}) {
            Rig rig(3, {1});
            rig.settings.ignoreError = true;
            rig.startAt(0, mode);
            rig.makeUnplayable({0, 2});
            rig.advance(Direction::Forward, manual);
            EXPECT_EQ(rig.window.messages, std::vector{PlaybackMessage::NothingPlayable})
                << "mode " << mode << " manual " << manual;
            EXPECT_EQ(rig.window.executionStates.back(), kCancel);
            EXPECT_NE(rig.player.current, PlayerState::Playing);
            EXPECT_EQ(rig.playlist.current, 0);
        }
    }
}

// Nothing playable among thousands of entries, or order keys that lead
// nowhere: the search still ends, with one message.
TEST(AdvanceTest, TheSearchAlwaysEnds) {
    for (bool brokenKeys : {false, true}) {
        Rig rig(brokenKeys ? 3 : 5000);
        rig.settings.ignoreError = true;
        rig.window.files.clear();
        if (brokenKeys) {
            for (PlaylistEntry& entry : rig.playlist.entries)
                entry.order = 5;  // no entry holds the next key: current never moves
        }
        rig.playlist.current = 1;
        Advance(rig.context, rig.playlist, kFwd, rig.settings, brokenKeys ? 0 : 1, false);
        EXPECT_EQ(rig.window.messages.size(), 1u) << brokenKeys;
        EXPECT_EQ(rig.playlist.current, 1) << brokenKeys;
    }
}

TEST(AdvanceTest, EmptyListDoesNothing) {
    Rig rig;
    rig.advance(Direction::Forward, true);
    EXPECT_EQ(rig.player.stops, 0);
    EXPECT_EQ(rig.window.layouts, 0);
}

// The list and the player must not go out of step: an advance during a load
// (from a message box's loop) or with a player that will not stop leaves
// current where it is.
TEST(AdvanceTest, LoadingOrAPlayerThatWillNotStopKeepsCurrent) {
    for (bool loading : {true, false}) {
        Rig rig(3);
        rig.startAt(0, kOrder);
        rig.entryLoading = loading;
        rig.player.refuseStop = !loading;
        rig.advance(Direction::Forward, true);
        EXPECT_EQ(rig.playlist.current, 0) << loading;
        EXPECT_TRUE(rig.player.opened.empty()) << loading;
        EXPECT_EQ(rig.player.current, PlayerState::Playing) << loading;
    }
}

}  // namespace
}  // namespace zav2::test
