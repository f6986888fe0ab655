// Titles read after the rows are listed: whatever the commands do to the
// list between slices, every row ends with its own entry's title, and no row
// ever shows another entry's title on the way. Removing rows and sorting
// while titles are read are checked end to end on thousands of files
// (big_list.sh); here the moves, drops, playback and refills.
#include <gtest/gtest.h>

#include <map>

#include "memory_list_box.h"
#include "platform/path.h"
#include "playlist/caption_progress.h"
#include "playlist/intake.h"
#include "playlist/pending_titles.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

// "12" for 12.
String number(int value) {
    return utf8ToUtf16(std::to_string(value));
}

// Each file's title names the file, so a row shows whose title it has.
String titleOf(StringView path) {
    return ZT("T ") + String(fileName(path));
}

enum class Step {
    Slice,       // reads `n` titles
    RemoveRows,  // removes the rows in `rows`
    MoveDown,    // moves the rows in `rows` down one place
    MoveUp,
    Drop,         // `n` new files dropped before row `rows[0]`
    PlayCurrent,  // playback copies the current entry (reading its title)
    Scroll,       // the view's top row becomes rows[0]
    Refresh,      // the rows left behind are refilled
};

struct Action {
    Step step;
    std::vector<int> rows = {};
    int n = 0;
};

struct Scenario {
    const char* name;
    std::vector<Action> actions;
};

struct Harness {
    Playlist playlist;
    MemoryListBox listBox;
    MemoryCaption caption;
    TitleWork work;
    std::map<String, int> reads;
    int dropped = 0;

    String read(StringView path) {
        ++reads[String(path)];
        return titleOf(path);
    }

    // Every row shows its own entry: its name while the title is pending or
    // the row is behind, else its own title.
    void expectRowsOwnTheirTitles() {
        ASSERT_EQ(static_cast<size_t>(listBox.count()), playlist.entries.size());
        for (size_t i = 0; i < playlist.entries.size(); ++i) {
            const PlaylistEntry& entry = playlist.entries[i];
            const String own = titleOf(entry.path);
            EXPECT_EQ(listBox.text(static_cast<int>(i)),
                      entry.titlePending || entry.rowBehind ? String(fileName(entry.path)) : own)
                << "row " << i;
            EXPECT_TRUE(entry.titlePending || entry.title == own) << "row " << i;
        }
    }
};

TEST(PendingTitles, EveryRowEndsWithItsOwnTitleWhateverHappensBetweenSlices) {
    const std::vector<Scenario> scenarios = {
        {"moves past the cursor",
         {{Step::Scroll, {10}},
          {Step::Slice, {}, 3},
          {Step::MoveDown, {0, 1, 5}},
          {Step::MoveUp, {12, 13}},
          {Step::Slice, {}, 4},
          {Step::MoveUp, {3}}}},
        {"drop before the cursor",
         {{Step::Slice, {}, 8}, {Step::Drop, {2}, 3}, {Step::Slice, {}, 2}, {Step::Drop, {0}, 2}}},
        {"playback reads the current title first",
         {{Step::PlayCurrent}, {Step::Slice, {}, 1}, {Step::RemoveRows, {0}}, {Step::PlayCurrent}}},
        {"rows behind refilled mid-way",
         {{Step::Scroll, {14}},
          {Step::Slice, {}, 6},
          {Step::Refresh},
          {Step::RemoveRows, {2}},
          {Step::Slice, {}, 6},
          {Step::Scroll, {0}},
          {Step::Slice, {}, 1}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Harness h;
        for (int i = 19; i >= 0; --i)
            appendEntry(h.playlist, ZT("D:\\m\\") + number(100 + i) + ZT(".mp3"), {}, true);
        h.playlist.current = 4;
        h.listBox.setVisibleRows(4);
        rebuildListBox(h.caption, h.listBox, h.playlist, false);
        const TitleFromTags reader = [&h](StringView path) { return h.read(path); };
        const TitleSliceOptions options;
        const auto slice = [&](int titles) {
            int left = titles;
            return readTitleSlice(
                h.playlist, h.listBox, h.work, reader, [&left] { return --left > 0; }, options);
        };

        for (size_t a = 0; a < scenario.actions.size(); ++a) {
            const Action& action = scenario.actions[a];
            switch (action.step) {
                case Step::Slice:
                    slice(action.n);
                    break;
                case Step::RemoveRows:
                case Step::MoveDown:
                case Step::MoveUp:
                    h.listBox.clearSelection();
                    h.listBox.select(action.rows);
                    if (action.step == Step::RemoveRows)
                        removeSelected(h.caption, h.listBox, h.playlist, {});
                    else if (action.step == Step::MoveDown)
                        moveSelectedDown(h.listBox, h.playlist);
                    else
                        moveSelectedUp(h.listBox, h.playlist);
                    break;
                case Step::Drop: {
                    std::vector<String> paths;
                    for (int k = 0; k < action.n; ++k)
                        paths.push_back(ZT("D:\\new\\") + number(h.dropped++) + ZT(".mp3"));
                    String folder;
                    dropOnList(h.playlist, h.listBox, paths, action.rows[0], folder, {});
                    break;
                }
                case Step::PlayCurrent: {
                    const PlaylistEntry copy = copyEntry(h.playlist, h.playlist.current, reader);
                    EXPECT_EQ(copy.title, titleOf(copy.path));
                    break;
                }
                case Step::Scroll:
                    h.listBox.setTopIndex(action.rows[0]);
                    break;
                case Step::Refresh:
                    refreshRows(h.listBox, h.playlist, false);
                    break;
            }
            SCOPED_TRACE(a);  // the action after which a row went wrong
            h.expectRowsOwnTheirTitles();
            ASSERT_FALSE(HasFailure());
        }
        // The view's rows are never left behind by a slice.
        const int top = h.listBox.topIndex();
        slice(1);
        for (int i = top; i < std::min(h.listBox.count(), top + h.listBox.visibleRows()); ++i)
            EXPECT_FALSE(h.playlist.entries[static_cast<size_t>(i)].rowBehind);

        while (slice(1000) > 0) {
        }
        if (hasRowsBehind(h.playlist))
            refreshRows(h.listBox, h.playlist, false);
        for (size_t i = 0; i < h.playlist.entries.size(); ++i)
            EXPECT_EQ(h.listBox.text(static_cast<int>(i)), titleOf(h.playlist.entries[i].path))
                << i;
        // Each file's tags were read once, however often the list changed.
        for (const auto& [path, count] : h.reads)
            EXPECT_EQ(count, 1) << utf16ToUtf8(path);
        EXPECT_EQ(h.listBox.redrawDepth(), 0);
    }
}

// The commands that need titles read the rest at once, with progress shown.
TEST(PendingTitles, FinishingReadsTheRestWithProgressAndPutsTheCaptionBack) {
    Playlist playlist = test::makePlaylist({ZT("a.mp3"), ZT("b.mp3"), ZT("c.mp3")}, 0);
    for (PlaylistEntry& entry : playlist.entries)
        entry.titlePending = true;
    playlist.entries[1].titlePending = false;
    playlist.entries[1].title = ZT("known");
    MemoryListBox listBox;
    MemoryCaption rebuilt;
    rebuildListBox(rebuilt, listBox, playlist, false);
    MemoryCaption caption(ZT("Song - Zav2"));
    finishPendingTitles(caption, listBox, playlist, titleOf, false);
    EXPECT_EQ(listBox.items(), (std::vector<String>{ZT("T a.mp3"), ZT("known"), ZT("T c.mp3")}));
    EXPECT_EQ(caption.history(),
              (std::vector<String>{progressText(kRebuildingCaption, 1, 2),
                                   progressText(kRebuildingCaption, 2, 2), ZT("Song - Zav2")}));
    EXPECT_EQ(countPendingTitles(playlist), 0);
}

}  // namespace
}  // namespace zav2
