#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "memory_list_box.h"
#include "playlist/playlist.h"
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

std::vector<String> letters(int count) {
    std::vector<String> names;
    for (int i = 0; i < count; ++i)
        names.push_back(String(1, static_cast<Char>('a' + i)) + ZT(".mp3"));
    return names;
}

// The removal loop as the command describes it, one entry at a time: the
// reference the single-pass removal must agree with.
int referenceRemoval(std::vector<String>& names, int current, const std::vector<int>& rows) {
    int last = static_cast<int>(names.size()) - 1;
    int removed = 0;
    for (int row : rows) {
        const int index = row - removed++;
        --last;
        names.erase(names.begin() + index);
        if (index < current)
            --current;
        if (current > last)
            current = last;
    }
    return current;
}

// Which entries stay and which becomes current, against the one-by-one
// removal; the playing entry's removal is reported and stops playback once; an
// emptied list puts the program's name back in the caption.
TEST(PlaylistRemove, AgreesWithTheOneByOneRemovalOnRandomSelections) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 12);
        const int current = static_cast<int>(random() % count);
        std::vector<int> rows;
        for (int i = 0; i < count; ++i) {
            if (random() % 3 == 0)
                rows.push_back(i);
        }
        auto shown = show(letters(count), current);
        shown->listBox.select(rows);
        std::vector<String> expected = letters(count);
        const int expectedCurrent = referenceRemoval(expected, current, rows);
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
        std::vector<int> rows;
        for (int i = 0; i < count; ++i) {
            if (random() % 2 == 0)
                rows.push_back(i);
        }
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

TEST(PlaylistFind, ExactPathOrTheLastEntry) {
    Playlist playlist = makePlaylist({ZT("a.mp3"), ZT("b.mp3"), ZT("b.mp3"), ZT("c.mp3")});
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\b.mp3")), 1);
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\B.mp3")), 3);  // case matters
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\b.mp")), 3);
    EXPECT_EQ(findByPath(playlist, ZT("D:\\m\\zz.mp3")), 3);
    EXPECT_EQ(findByPath(Playlist{}, ZT("D:\\m\\a.mp3")), -1);

    EXPECT_EQ(copyEntry(playlist, 4).path, String());  // out of range: nothing
}

TEST(PlaylistInsert, EntriesAndRowsGoToTheSameIndex) {
    auto shown = show({ZT("a.mp3"), ZT("c.mp3")}, 1);
    insertEntry(shown->playlist, shown->listBox, 1, ZT("D:\\m\\b.mp3"), {}, false);
    insertEntry(shown->playlist, shown->listBox, 3, ZT("D:\\m\\d.mp3"), ZT("Dee"), false);
    insertEntry(shown->playlist, shown->listBox, 99, ZT("D:\\m\\e.mp3"), {}, false);
    EXPECT_EQ(namesOf(shown->playlist), letters(5));
    EXPECT_EQ(shown->listBox.text(3), ZT("Dee"));
    expectAligned(shown->playlist, shown->listBox);
    EXPECT_EQ(displayText({ZT("C:\\m\\a.b.mp3"), {}, 0}, true), ZT("a.b"));

    clear(shown->playlist);
    EXPECT_EQ(shown->playlist.lastIndex(), -1);
    EXPECT_EQ(shown->playlist.current, -1);
}

TEST(PlaylistReveal, ScrollsJustEnoughAndSelectsOnlyTheEntry) {
    auto shown = show(letters(20), 0);
    MemoryListBox& box = shown->listBox;
    box.setVisibleRows(5);
    box.select({1, 2});

    revealCurrent(box, 5, false, false);  // the next row below the view
    EXPECT_EQ(box.topIndex(), 1);
    EXPECT_EQ(box.selection(), std::vector<int>{5});
    revealCurrent(box, 3, false, false);  // visible: no scroll
    EXPECT_EQ(box.topIndex(), 1);
    revealCurrent(box, 15, false, false);  // a jump far below
    EXPECT_EQ(box.topIndex(), 11);
    revealCurrent(box, 0, false, false);  // wrapped round to the top
    EXPECT_EQ(box.topIndex(), 0);
    revealCurrent(box, 9, true, false);  // random mode puts it at the top
    EXPECT_EQ(box.topIndex(), 9);
    revealCurrent(box, 12, true, true);  // forced: as in order mode
    EXPECT_EQ(box.topIndex(), 9);
    EXPECT_EQ(box.selection(), std::vector<int>{12});
}

}  // namespace
}  // namespace zav2
