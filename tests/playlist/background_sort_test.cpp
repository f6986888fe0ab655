#include "playlist/background_sort.h"

#include <gtest/gtest.h>

#include <future>

#include "playlist/playlist_order.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

using test::makePlaylist;
using test::namesOf;
using Outcome = BackgroundSort::Outcome;

// What the list goes through while its copy is sorted decides whether the
// order found may be applied: only to the same paths in the same places.
TEST(BackgroundSort, AppliesItsOrderOnlyToTheListItWasFoundFor) {
    struct Case {
        const char* change;
        void (*apply)(Playlist&);
        Outcome expected;
    };
    const Case cases[] = {
        {"none", [](Playlist&) {}, Outcome::Sorted},
        {"a title read", [](Playlist& list) { list.entries[0].title = ZT("Ten"); },
         Outcome::Sorted},
        {"an entry added", [](Playlist& list) { appendEntry(list, ZT("D:\\m\\c.mp3"), {}); },
         Outcome::Stale},
        {"an entry removed", [](Playlist& list) { list.entries.pop_back(); }, Outcome::Stale},
        {"two entries moved",
         [](Playlist& list) { std::swap(list.entries[1].path, list.entries[2].path); },
         Outcome::Stale},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        Playlist playlist =
            makePlaylist({ZT("b10.mp3"), ZT("b2.mp3"), ZT("a.mp3"), ZT("B1.mp3")}, 1);
        BackgroundSort sorting;
        std::promise<void> found;
        ASSERT_TRUE(sorting.start(playlist, [&found] { found.set_value(); }));
        EXPECT_FALSE(sorting.start(playlist, {}));  // one at a time
        c.apply(playlist);
        found.get_future().wait();
        Playlist expected = playlist;
        if (c.expected == Outcome::Sorted)
            sortPlaylist(expected);
        EXPECT_EQ(sorting.finish(playlist), c.expected);
        EXPECT_EQ(namesOf(playlist), namesOf(expected));
        EXPECT_EQ(playlist.current, expected.current);
        EXPECT_FALSE(sorting.running());
    }
}

}  // namespace
}  // namespace zav2
