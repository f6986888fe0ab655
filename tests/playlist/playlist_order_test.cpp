#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "memory_list_box.h"
#include "playlist/playlist_order.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

using test::expectAligned;
using test::makePlaylist;
using test::namesOf;

std::vector<String> pathsOf(const Playlist& playlist) {
    std::vector<String> paths;
    for (const PlaylistEntry& entry : playlist.entries)
        paths.push_back(entry.path);
    return paths;
}

TEST(PlaylistSort, FoldersThenNamesThenExtensionsInLogicalOrder) {
    Playlist playlist = makePlaylist(
        {
            ZT("D:\\m\\Disc 10\\01.mp3"),
            ZT("D:\\m\\a\\x.mp3"),
            ZT("D:\\m\\a\\track10.mp3"),
            ZT("D:\\m\\Disc 2\\01.mp3"),
            ZT("D:\\m\\a\\x.flac"),
            ZT("D:\\m\\A\\track2.mp3"),  // the same folder in another case
            ZT("D:\\m\\a\\Track1.wav"),
        },
        1, {});
    playlist.entries[0].title = ZT("zzz");  // titles play no part
    sortPlaylist(playlist);
    EXPECT_EQ(pathsOf(playlist), (std::vector<String>{
                                     ZT("D:\\m\\a\\Track1.wav"),
                                     ZT("D:\\m\\A\\track2.mp3"),
                                     ZT("D:\\m\\a\\track10.mp3"),
                                     ZT("D:\\m\\a\\x.flac"),
                                     ZT("D:\\m\\a\\x.mp3"),
                                     ZT("D:\\m\\Disc 2\\01.mp3"),
                                     ZT("D:\\m\\Disc 10\\01.mp3"),
                                 }));
    EXPECT_EQ(playlist.entries[playlist.current].path, ZT("D:\\m\\a\\x.mp3"));
    EXPECT_FALSE(comparePlaylistEntries({ZT("D:\\m\\a.mp3")}, {ZT("D:\\M\\A.MP3")}));
}

// The fast sort must give an order the plain comparator agrees with, on the
// kinds of names real folders hold.
TEST(PlaylistSort, MatchesThePairwiseComparator) {
    std::mt19937 random(3);
    const std::vector<String> folders = {
        ZT("D:\\m\\Disc 1"),      ZT("D:\\m\\disc 1"), ZT("D:\\m\\Disc 10"),
        ZT("D:\\m\\Disc 9"),      ZT("D:\\m"),         ZT("E:\\x\\y"),
        ZT("D:\\m\\Disc 1\\cd2"), ZT("D:/m/disc 10"),  ZT("D:\\v1.2 a")};
    const std::vector<String> names = {ZT("track"), ZT("Track"), ZT("01"),    ZT("1"),
                                       ZT("a b"),   ZT("a.b"),   ZT("x"),     ZT("10"),
                                       ZT("9z"),    ZT("x. y"),  ZT("v1.2 b")};
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

    // A current index outside the list must not read outside the work array.
    Playlist stray = makePlaylist(std::vector<String>(4, ZT("x")), -1);
    recomputeOrder(stray, true);
    EXPECT_EQ(stray.entries[0].order, 0);
}

TEST(SearchExpression, WordsMinusAndOr) {
    struct Case {
        const char* expression;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"live", "Song live 2001", true},
        {"live", "Song Live 2001", false},  // case-sensitive
        {"song live", "song live", true},
        {"song  live ", "live song", true},  // runs of spaces, any order
        {"song live", "song", false},
        {"-live", "Song live", false},
        {"-live", "Song", true},
        {"song -live", "song demo", true},
        {"OR live demo", "a demo", true},
        {"or live demo", "a live", true},
        {"OR live demo", "neither", false},
        {"OR -live", "-live", true},  // no exclusion in the OR form
        {"OR -live", "live", false},
        {"OR", "OR", false},
        {"", "anything", false},
        {"   ", "anything", false},
        {"-", "anything", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesExpression(test::text(c.text), test::text(c.expression)), c.matches)
            << c.expression << " / " << c.text;
    }
    EXPECT_TRUE(matchesExpression(ZT("\u30E9\u30A4\u30D6 2001"), ZT("\u30E9\u30A4\u30D6")));
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
    const std::vector<Case> cases = {
        {"live", 4, texts({"live1.mp3", "b live.mp3", "live3.mp3"}), 2, false},
        {"live", 1, texts({"live1.mp3", "b live.mp3", "live3.mp3"}), 0, true},
        {"nothing", 2, {}, -1, true},
        {"  ", 2, texts({"live1.mp3", "demo.mp3", "b live.mp3", "Live.mp3", "live3.mp3"}), 2,
         false},
    };
    for (const Case& c : cases) {
        Playlist playlist = makePlaylist(
            texts({"live1.mp3", "demo.mp3", "b live.mp3", "Live.mp3", "live3.mp3"}), c.current);
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

TEST(PlaylistJump, FindsTheNextMatchAndWraps) {
    Playlist playlist =
        makePlaylist({ZT("a live.mp3"), ZT("b.mp3"), ZT("c live.mp3"), ZT("d.mp3")}, 0);
    EXPECT_EQ(findNextMatch(playlist, 0, ZT("live")), 2);
    EXPECT_EQ(findNextMatch(playlist, 2, ZT("live")), 0);
    EXPECT_EQ(findNextMatch(playlist, 3, ZT("live")), 0);
    EXPECT_EQ(findNextMatch(playlist, 0, ZT("zzz")), -1);
    EXPECT_EQ(findNextMatch(playlist, 0, ZT("")), -1);
    EXPECT_EQ(findNextMatch(playlist, -1, ZT("a live")), 0);
    EXPECT_EQ(findNextMatch(Playlist{}, 0, ZT("live")), -1);

    // A title, when there is one, is what is searched.
    playlist.entries[2].title = ZT("Studio");
    playlist.entries[3].title = ZT("live take");
    EXPECT_EQ(findNextMatch(playlist, 0, ZT("live")), 3);
}

}  // namespace
}  // namespace zav2
