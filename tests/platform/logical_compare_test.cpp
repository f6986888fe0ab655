// The same expectations hold for the shell's comparison (Windows build, run
// under Wine) and for the portable one: the play list sorts by them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace zav2 {
namespace {

// "Disc 2" before "Disc 10", "track2" before "track10" and ".flac" before
// ".mp3" are in the play list's sort test, on both builds too.
TEST(LogicalCompare, NumbersByValueLettersWithoutCaseAndOnlyEqualTextsEqual) {
    EXPECT_LT(compareLogical(ZT("x 1 y 9"), ZT("x 1 y 10")), 0);
    EXPECT_EQ(compareLogical(ZT("Live.MP3"), ZT("live.mp3")), 0);
    EXPECT_LT(compareLogical(ZT("abc"), ZT("ABD")), 0);
    EXPECT_LT(compareLogical(ZT("song"), ZT("song 2")), 0);
    // Same value written differently is still a different name.
    EXPECT_NE(compareLogical(ZT("a01"), ZT("a1")), 0);
}

TEST(LogicalCompare, IsAConsistentOrderOverMixedNames) {
    std::vector<String> names = {
        ZT("track10.mp3"), ZT("Track2.mp3"), ZT("track1.mp3"), ZT("a"),        ZT("A1"),
        ZT("a01"),         ZT("a1b"),        ZT("a1"),         ZT("b"),        ZT("10"),
        ZT("9"),           ZT("x.flac"),     ZT("x.mp3"),      ZT("x"),        ZT("Disc 10"),
        ZT("disc 2"),      ZT("Disc 2 b"),   ZT("z_1"),        ZT("z-1"),      ZT("z1"),
        ZT("ab12cd3"),     ZT("ab12cd20"),   ZT("ab012cd3"),   ZT("\u66F2 2"), ZT("\u66F2 10"),
    };
    for (const String& a : names) {
        for (const String& b : names) {
            const int ab = compareLogical(a, b);
            EXPECT_EQ(ab, -compareLogical(b, a)) << "antisymmetry";
            EXPECT_EQ(ab == 0, equalsIgnoreCase(a, b));
            for (const String& c : names) {
                if (ab < 0 && compareLogical(b, c) < 0) {
                    EXPECT_LT(compareLogical(a, c), 0) << "transitivity";
                }
            }
        }
    }
}

}  // namespace
}  // namespace zav2
