// The play list's model: removal, moves, insertion, revealing; its sort, play
// order, search expression, filter and jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "memory_list_box.h"
#include "playlist/playlist.h"
#include "playlist/caption_progress.h"
#include "playlist/pending_titles.h"
#include "playlist/playlist_order.h"
#include "playlist/row_at_point.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

using test::expectAligned;
using test::makePlaylist;
using test::namesOf;

struct Shown {
    Playlist playlist;
    MemoryListBox listBox;
    MemoryCaption caption{ZT("Song - Zav2")};
};

std::unique_ptr<Shown> show(const std::vector<String>& names, int current) {
    auto shown = std::make_unique<Shown>();
    shown->playlist = makePlaylist(names, current);
    rebuildListBox(shown->caption, shown->listBox, shown->playlist, false);
    return shown;
}

// Each row, one time in `oneIn`.
std::vector<int> randomRows(std::mt19937& random, int count, unsigned oneIn) {
    std::vector<int> rows;
    for (int i = 0; i < count; ++i) {
        if (random() % oneIn == 0)
            rows.push_back(i);
    }
    return rows;
}

std::vector<String> letters(int count) {
    std::vector<String> names;
    for (int i = 0; i < count; ++i)
        names.push_back(String(1, static_cast<Char>('a' + i)) + ZT(".mp3"));
    return names;
}

// Which entries stay and which becomes current: the current entry, else the
// first one after it that stays, else the new last; the playing entry's
// removal is reported and stops playback once; an emptied list puts the
// program's name back in the caption.
TEST(PlaylistRemove, CurrentStaysOnItsEntryOrTheNextOnRandomSelections) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 12);
        const int current = static_cast<int>(random() % count);
        const std::vector<int> rows = randomRows(random, count, 3);
        auto shown = show(letters(count), current);
        shown->listBox.select(rows);
        std::vector<String> expected;
        int expectedCurrent = -1;
        for (int i = 0; i < count; ++i) {
            if (std::count(rows.begin(), rows.end(), i) != 0)
                continue;
            if (i >= current && expectedCurrent < 0)
                expectedCurrent = static_cast<int>(expected.size());
            expected.push_back(letters(count)[i]);
        }
        if (expectedCurrent < 0)
            expectedCurrent = static_cast<int>(expected.size()) - 1;
        const bool currentGoes = std::count(rows.begin(), rows.end(), current) != 0;
        int stops = 0;
        EXPECT_EQ(
            removeSelected(shown->caption, shown->listBox, shown->playlist, [&stops] { ++stops; }),
            currentGoes);
        ASSERT_EQ(namesOf(shown->playlist), expected);
        ASSERT_EQ(shown->playlist.current, expectedCurrent);
        EXPECT_EQ(stops, currentGoes ? 1 : 0);
        EXPECT_EQ(shown->caption.text(), expected.empty() ? ZT("Zav2") : ZT("Song - Zav2"));
        if (expected.empty()) {
            EXPECT_EQ(shown->listBox.repaints(), 1);
        }
        expectAligned(shown->playlist, shown->listBox);
    }
}

// Blocked edges, the order after a move against swapping each selected row
// with its neighbour; the current marker and the selection stay on their
// entries.
TEST(PlaylistMove, AgreesWithPairwiseSwapsOnRandomSelections) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        const int count = 2 + static_cast<int>(random() % 10);
        const int current = static_cast<int>(random() % count);
        const std::vector<int> rows = randomRows(random, count, 2);
        const bool down = random() % 2 == 0;
        auto shown = show(letters(count), current);
        shown->listBox.select(rows);

        const std::vector<String> before = letters(count);
        std::vector<String> expected = before;
        const bool blocked = rows.empty() || (down ? rows.back() == count - 1 : rows.front() == 0);
        if (!blocked && down) {
            for (auto it = rows.rbegin(); it != rows.rend(); ++it)
                std::swap(expected[*it], expected[*it + 1]);
        } else if (!blocked) {
            for (int k : rows)
                std::swap(expected[k - 1], expected[k]);
        }
        const auto rowOf = [&expected](const String& name) {
            return static_cast<int>(std::find(expected.begin(), expected.end(), name) -
                                    expected.begin());
        };
        std::vector<int> expectedSelection;
        for (int k : rows)
            expectedSelection.push_back(rowOf(before[k]));
        std::sort(expectedSelection.begin(), expectedSelection.end());

        if (down)
            moveSelectedDown(shown->listBox, shown->playlist);
        else
            moveSelectedUp(shown->listBox, shown->playlist);
        ASSERT_EQ(namesOf(shown->playlist), expected);
        ASSERT_EQ(shown->playlist.current, rowOf(before[current]));
        ASSERT_EQ(shown->listBox.selection(), expectedSelection);
        expectAligned(shown->playlist, shown->listBox);
    }
}

// An entry by its path (else the last one), and the next one whose title,
// or else name, has the words, round the end.
TEST(PlaylistFind, ByPathOrTheLastAndTheNextMatchRoundTheEnd) {
    Playlist playlist = makePlaylist(
        {ZT("a live.mp3"), ZT("b.mp3"), ZT("b.mp3"), ZT("c live.mp3"), ZT("d.mp3")}, 0);
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\b.mp3")), 1);
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\B.mp3")), 4);  // case matters
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\zz.mp3")), 4);
    EXPECT_EQ(findByPath(Playlist{}, ZT("D:\\m\\a.mp3")), -1);
    EXPECT_EQ(copyEntry(playlist, 5).path, String());  // out of range: nothing

    EXPECT_EQ(findNextMatch(playlist, 0, ZT("live")), 3);
    EXPECT_EQ(findNextMatch(playlist, 3, ZT("live")), 0);
    EXPECT_EQ(findNextMatch(playlist, -1, ZT("a live")), 0);
    playlist.entries[3].title = ZT("Studio");
    playlist.entries[4].title = ZT("live take");
    EXPECT_EQ(findNextMatch(playlist, 0, ZT("live")), 4);
}

// A refill of every row once put the focus row and the Shift anchor back on
// row 0 and forgot the selection and the scroll position.
TEST(PlaylistRefill, EveryRefillKeepsTheUsersPlace) {
    const std::pair<const char*, std::function<void(Shown&)>> refills[] = {
        {"rebuild", [](Shown& s) { rebuildListBox(s.caption, s.listBox, s.playlist, true); }},
        {"titles onto the rows", [](Shown& s) { refreshRows(s.listBox, s.playlist, true); }},
    };
    for (const auto& [name, refill] : refills) {
        SCOPED_TRACE(name);
        auto shown = show(letters(20), 0);
        MemoryListBox& box = shown->listBox;
        box.select({3, 4, 9});
        box.setTopIndex(5);
        box.setCaret(9);
        box.setAnchor(3);
        refill(*shown);
        const ListViewPlace place = viewPlace(box);
        EXPECT_EQ(place.selected, std::vector<int>({3, 4, 9}));
        EXPECT_EQ(std::vector<int>({place.top, place.caret, place.anchor}),
                  std::vector<int>({5, 9, 3}));
    }
}

TEST(PlaylistReveal, ScrollsJustEnoughAndSelectsOnlyTheEntry) {
    auto shown = show(letters(20), 0);
    MemoryListBox& box = shown->listBox;
    box.setVisibleRows(5);
    box.select({1, 2});

    revealCurrent(box, 5, false, false);  // the next row below the view
    EXPECT_EQ(box.topIndex(), 1);
    EXPECT_EQ(box.selection(), std::vector<int>{5});
    revealCurrent(box, 15, false, false);  // a jump far below
    EXPECT_EQ(box.topIndex(), 11);
    revealCurrent(box, 9, true, false);  // random mode puts it at the top
    EXPECT_EQ(box.topIndex(), 9);
    revealCurrent(box, 12, true, true);  // forced: as in order mode
    EXPECT_EQ(box.topIndex(), 9);
    EXPECT_EQ(box.selection(), std::vector<int>{12});
}

// A caption costs milliseconds under Wine: a rebuild shows about twenty steps
// of its progress, the first and the last always, then the caption it found.
TEST(PlaylistRebuild, ShowsThrottledProgressThenPutsTheCaptionBack) {
    const struct {
        int rows;
        std::vector<int> shown;  // the steps shown, counted from 1
    } cases[] = {
        {3, {1, 2, 3}},
        {45, {1,  2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22,
              24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 44, 45}},
    };
    for (const auto& c : cases) {
        std::vector<String> names(static_cast<size_t>(c.rows), ZT("a.mp3"));
        auto shown = show(names, 0);
        std::vector<String> expected;
        for (int step : c.shown)
            expected.push_back(progressText(kRebuildingCaption, step, c.rows));
        expected.push_back(ZT("Song - Zav2"));
        EXPECT_EQ(shown->caption.history(), expected) << c.rows;
    }
}

// --- Sort, play order, search ------------------------------------------------

std::vector<String> pathsOf(const Playlist& playlist) {
    std::vector<String> paths;
    for (const PlaylistEntry& entry : playlist.entries)
        paths.push_back(entry.path);
    return paths;
}

TEST(PlaylistSort, FoldersThenNamesThenExtensionsInLogicalOrder) {
    const std::vector<String> sorted = {
        ZT("D:\\m\\a\\Track1.wav"),
        ZT("D:\\m\\A\\track2.mp3"),  // the same folder in another case
        ZT("D:\\m\\a\\track10.mp3"), ZT("D:\\m\\a\\x.flac"),       ZT("D:\\m\\a\\x.mp3"),
        ZT("D:\\m\\Disc 2\\01.mp3"), ZT("D:\\m\\Disc 10\\01.mp3"),
    };
    std::vector<String> shuffled = sorted;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
    Playlist playlist = makePlaylist(shuffled, 0, {});
    playlist.entries[0].title = ZT("zzz");  // titles play no part
    sortPlaylist(playlist);
    EXPECT_EQ(pathsOf(playlist), sorted);
    EXPECT_EQ(playlist.entries[playlist.current].path, shuffled[0]);
    EXPECT_FALSE(comparePlaylistEntries({ZT("D:\\m\\a.mp3")}, {ZT("D:\\M\\A.MP3")}));
}

// The fast sort must give an order the plain comparator agrees with, on the
// kinds of names real folders hold.
TEST(PlaylistSort, MatchesThePairwiseComparator) {
    std::mt19937 random(3);
    const std::vector<String> folders = {
        ZT("D:\\m\\Disc 1"), ZT("D:\\m\\disc 1"),  ZT("D:\\m\\Disc 10"),     ZT("D:\\m\\Disc 9"),
        ZT("D:\\m"),         ZT("E:\\x\\y"),       ZT("D:\\m\\Disc 1\\cd2"), ZT("D:/m/disc 10"),
        ZT("D:\\v1.2 a"),    ZT("D:\\m\\Disc 1 b")};
    const std::vector<String> names = {
        ZT("track"), ZT("Track"), ZT("01"), ZT("1"), ZT("a b"), ZT("a.b"), ZT("x"), ZT("10"),
        ZT("9z"), ZT("x. y"), ZT("v1.2 b"),
        // Full-width digits, kana, no name at all.
        ZT("\uFF11\uFF10"), ZT("\uFF12"), ZT("\u3042"), ZT("\u30A2"), ZT("")};
    const std::vector<String> extensions = {ZT(".mp3"), ZT(".MP3"), ZT(".flac"), ZT(""),
                                            ZT(".m4a")};
    for (int round = 0; round < 50; ++round) {
        std::vector<String> paths;
        std::set<String> folded;
        for (int i = 0; i < 60; ++i) {
            String path = folders[random() % folders.size()] + ZT("\\") +
                          names[random() % names.size()] +
                          String(1, static_cast<Char>('0' + random() % 3)) +
                          extensions[random() % extensions.size()];
            String key = path;
            for (Char& c : key)
                c = toUpper(c);
            if (folded.insert(key).second)  // entries equal without case may go either way
                paths.push_back(path);
        }
        Playlist playlist = makePlaylist(paths, 0, {});
        Playlist expected = playlist;
        std::sort(expected.entries.begin(), expected.entries.end(), comparePlaylistEntries);
        sortPlaylist(playlist);
        ASSERT_EQ(pathsOf(playlist), pathsOf(expected));
    }
}

TEST(PlaylistOrder, IdentityOutsideRandomModeAndAPermutationFromCurrentInIt) {
    for (int count : {1, 2, 7, 500}) {
        for (int current : {0, count / 2, count - 1}) {
            Playlist list =
                makePlaylist(std::vector<String>(static_cast<size_t>(count), ZT("x")), current);
            recomputeOrder(list, true);
            std::vector<int> keys;
            for (const PlaylistEntry& entry : list.entries)
                keys.push_back(entry.order);
            EXPECT_EQ(keys[static_cast<size_t>(current)], 0);
            std::sort(keys.begin(), keys.end());
            for (int k = 0; k < count; ++k)
                ASSERT_EQ(keys[static_cast<size_t>(k)], k) << "not a permutation";
            recomputeOrder(list, false);
            for (int k = 0; k < count; ++k)
                ASSERT_EQ(list.entries[static_cast<size_t>(k)].order, k);
        }
    }

    // A current index outside the list, before it or just past it, must not
    // read outside the work array.
    for (int stray : {-1, 4}) {
        Playlist list = makePlaylist(std::vector<String>(4, ZT("x")), stray);
        recomputeOrder(list, true);
        EXPECT_EQ(list.entries[0].order, 0) << stray;
    }
}

TEST(SearchExpression, WordsMinusAndOr) {
    struct Case {
        const char* expression;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"live", "Song live 2001", true},
        {"live", "Song Live 2001", false},   // case-sensitive
        {"song  live ", "live song", true},  // runs of spaces, any order
        {"song -live", "song demo", true},
        {"OR live demo", "a demo", true},
        {"or live demo", "a live", true},
        {"OR -live", "-live", true},  // no exclusion in the OR form
        {"OR -live", "live", false},
        {"", "anything", false},
        {"-", "anything", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesExpression(test::text(c.text), test::text(c.expression)), c.matches)
            << c.expression << " / " << c.text;
    }
}

TEST(PlaylistFilter, KeepsMatchesAndTracksCurrent) {
    using test::texts;
    struct Case {
        const char* expression;
        int current;
        std::vector<String> left;
        int currentAfter;
        bool currentRemoved;
    };
    const std::vector<String> all =
        texts({"live1.mp3", "demo.mp3", "b live.mp3", "Live.mp3", "live3.mp3"});
    const std::vector<String> live = texts({"live1.mp3", "b live.mp3", "live3.mp3"});
    const std::vector<Case> cases = {
        {"live", 4, live, 2, false},
        {"live", 1, live, 0, true},
        {"nothing", 2, {}, -1, true},
        {"  ", 2, all, 2, false},
    };
    for (const Case& c : cases) {
        Playlist playlist = makePlaylist(all, c.current);
        MemoryListBox listBox;
        MemoryCaption caption;
        rebuildListBox(caption, listBox, playlist, false);
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(filterPlaylist(playlist, listBox, test::text(c.expression)), c.currentRemoved);
        EXPECT_EQ(namesOf(playlist), c.left);
        EXPECT_EQ(playlist.current, c.currentAfter);
        expectAligned(playlist, listBox);
    }
}

// The row under a point is counted from the top row, so rows past 65,535 are
// themselves (the list box's own answer keeps only 16 bits).
TEST(PlaylistRowAtPoint, CountsFromTheTopRowBeyondSixteenBits) {
    struct Case {
        int top, y, height, count;
        RowAtPoint expected;
    };
    const Case cases[] = {
        {99'980, 19 * 16 + 3, 16, 100'000, {99'999, false}},
        {99'990, 20 * 16, 16, 100'000, {99'999, true}},  // below the last row
        {3, 0, 0, 10, {3, false}},                       // no height yet
        {0, 40, 16, 0, {-1, false}},
    };
    for (const Case& c : cases) {
        const RowAtPoint hit = rowAtPoint(c.top, c.y, c.height, c.count);
        EXPECT_EQ(std::pair(hit.row, hit.below), std::pair(c.expected.row, c.expected.below))
            << c.top << " " << c.y;
    }
}

}  // namespace
}  // namespace zav2
