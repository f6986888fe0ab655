#include "playlist/resume_schedule.h"

#include <gtest/gtest.h>

#include "playlist_test_util.h"

namespace zav2 {
namespace {

TEST(ResumeSchedule, FingerprintSeesEveryChangeTheResumeListHolds) {
    const Playlist list = test::makePlaylist({ZT("a.mp3"), ZT("b.mp3")}, 0);
    const uint64_t same = resumeFingerprint(list);
    EXPECT_EQ(resumeFingerprint(test::makePlaylist({ZT("a.mp3"), ZT("b.mp3")}, 0)), same);
    Playlist changed[5] = {list, list, list, list, list};
    changed[0].current = 1;
    changed[1].entries[1].title = ZT("b");
    std::swap(changed[2].entries[0], changed[2].entries[1]);
    changed[3].entries.pop_back();
    changed[4].entries[0].path = ZT("a.mp");  // a unit moved between strings
    changed[4].entries[0].title = ZT("3");
    for (const Playlist& other : changed)
        EXPECT_NE(resumeFingerprint(other), same);
}

TEST(ResumeSchedule, WritesOnceTheListHasBeenQuietForTwoSeconds) {
    struct Step {
        uint64_t fingerprint;
        int64_t now;
        bool due;
    };
    ResumeSchedule schedule;
    const Step steps[] = {
        {1, 0, false},    {1, 1999, false}, {1, 2000, true},                    // after start
        {2, 2100, false}, {3, 2600, false}, {3, 4500, false}, {3, 4600, true},  // a burst
    };
    for (const Step& step : steps) {
        EXPECT_EQ(schedule.due(step.fingerprint, step.now), step.due) << step.now;
        if (step.due)
            schedule.written(step.fingerprint);
    }
    EXPECT_FALSE(schedule.due(3, 9000));  // written: nothing to do
    EXPECT_FALSE(schedule.due(1, 9100));
    EXPECT_TRUE(schedule.due(1, 11100));  // changed back: written again
}

TEST(ResumeSchedule, LooksSeeACountChangeAtOnceAndAMoveWithinAFewLooks) {
    Playlist list = test::makePlaylist({ZT("a.mp3"), ZT("b.mp3"), ZT("c.mp3")}, 0);
    ResumeSchedule schedule;
    int64_t now = 0;
    const auto looksUntilDue = [&] {
        for (int looks = 1; looks <= 100; ++looks) {
            now += 250;
            if (schedule.due(list, now)) {
                schedule.written(resumeFingerprint(list));
                return looks;
            }
        }
        return 0;
    };
    const int quiet = ResumeSchedule::kQuietMilliseconds / 250;
    EXPECT_EQ(looksUntilDue(), quiet + 1);  // after start
    list.entries.pop_back();
    EXPECT_EQ(looksUntilDue(), quiet + 1);
    std::swap(list.entries[0], list.entries[1]);
    const int looks = looksUntilDue();
    EXPECT_GT(looks, quiet);
    EXPECT_LE(looks, quiet + ResumeSchedule::kLooksPerHash);
}

}  // namespace
}  // namespace zav2
