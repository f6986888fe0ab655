// Titles read after the rows are listed: whatever the commands do to the
// list between slices, or while the worker reads ahead, every row ends with
// its own entry's title, and no row ever shows another entry's title on the
// way. Removing rows and sorting while titles are read are checked end to end
// on thousands of files (big_list.sh); here the moves, drops, playback and
// refills, and the worker's slots.
#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "memory_list_box.h"
#include "platform/path.h"
#include "playlist/caption_progress.h"
#include "playlist/intake.h"
#include "playlist/pending_titles.h"
#include "playlist/playlist_order.h"
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

// A list of twenty files, titles pending, four rows in view; each command
// checks every row after it.
struct Harness {
    Playlist playlist;
    MemoryListBox listBox;
    MemoryCaption caption;
    TitleWork work;
    std::map<String, int> reads;
    int dropped = 0;
    int steps = 0;
    String tagVersion;  // what the files' titles end with now
    // The worker, once it comes to `gatePath`, waits there until let go.
    const std::thread::id windowThread = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable changed;
    String gatePath;
    bool atGate = false;
    int wakes = 0;
    const TitleFromTags reader = [this](StringView path) {
        std::unique_lock lock(mutex);
        ++reads[String(path)];
        if (path == gatePath && std::this_thread::get_id() != windowThread) {
            atGate = true;
            changed.notify_all();
            changed.wait(lock, [this] { return gatePath.empty(); });
        }
        return titleOf(path) + tagVersion;
    };
    int workers = TitleReadAhead::kWorkers;
    TitleReadAhead ahead;  // last: its workers end before the members they use

    Harness() { open(); }
    void open() {
        playlist = {};
        for (int i = 19; i >= 0; --i)
            appendEntry(playlist, ZT("D:\\m\\") + number(100 + i) + ZT(".mp3"), {}, true);
        playlist.current = 4;
        listBox.setVisibleRows(4);
        rebuildListBox(caption, listBox, playlist, false);
        work = {};
    }
    void startAhead() {
        ahead.start(
            playlist, reader,
            [this] {
                const std::lock_guard lock(mutex);
                ++wakes;
                changed.notify_all();
            },
            workers);
    }
    // Starts the worker and waits until it holds at entry `row`.
    void startAheadHeldAt(int row) {
        gatePath = playlist.entries[static_cast<size_t>(row)].path;
        startAhead();
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return atGate; });
    }
    void letGo() {
        const std::lock_guard lock(mutex);
        gatePath.clear();
        changed.notify_all();
    }
    int slice(int titles) {
        const int read = readTitleSlice(
            playlist, listBox, work, reader, [&titles] { return --titles > 0; }, {}, &ahead);
        check();
        return read;
    }
    // Slices until no title is pending, waiting for the worker's wake-up
    // whenever a slice stops for it, as the window does.
    void readRest() {
        for (;;) {
            std::unique_lock lock(mutex);
            const int seen = wakes;
            lock.unlock();
            slice(1000);
            if (!work.waiting && !hasPendingTitles(playlist, 0))
                return;
            lock.lock();
            changed.wait(lock, [&] { return !work.waiting || wakes != seen; });
        }
    }
    void remove(const std::vector<int>& rows) {
        listBox.select(rows);
        removeSelected(caption, listBox, playlist, {});
        check();
    }
    void move(const std::vector<int>& rows, bool down) {
        listBox.select(rows);
        down ? moveSelectedDown(listBox, playlist) : moveSelectedUp(listBox, playlist);
        check();
    }
    // `count` new files dropped before row `at`.
    void drop(int at, int count) {
        std::vector<String> paths;
        for (int k = 0; k < count; ++k)
            paths.push_back(ZT("D:\\new\\") + number(dropped++) + ZT(".mp3"));
        String folder;
        dropOnList(playlist, listBox, paths, at, folder, {});
        check();
    }
    // Playback copies the current entry, reading its title.
    void play() {
        const PlaylistEntry copy = copyEntry(playlist, playlist.current, reader);
        EXPECT_EQ(copy.title, titleOf(copy.path));
        check();
    }
    void scroll(int top) { listBox.setTopIndex(top); }
    void refresh() {
        refreshRows(listBox, playlist, false);
        check();
    }

    // Every row shows its own entry: its name while the title is pending or
    // the row is behind, else its own title.
    void check() {
        SCOPED_TRACE(++steps);  // the command after which a row went wrong
        ASSERT_EQ(static_cast<size_t>(listBox.count()), playlist.entries.size());
        for (size_t i = 0; i < playlist.entries.size(); ++i) {
            const PlaylistEntry& entry = playlist.entries[i];
            const String own = titleOf(entry.path) + tagVersion;
            EXPECT_EQ(listBox.text(static_cast<int>(i)),
                      entry.titlePending || entry.rowBehind ? String(fileName(entry.path)) : own)
                << "row " << i;
            EXPECT_TRUE(entry.titlePending || entry.title == own) << "row " << i;
        }
    }
};

TEST(PendingTitles, EveryRowEndsWithItsOwnTitleWhateverHappensBetweenSlices) {
    const std::pair<const char*, void (*)(Harness&)> scenarios[] = {
        {"moves past the cursor",
         [](Harness& h) {
             h.scroll(10);
             h.slice(3);
             h.move({0, 1, 5}, true);
             h.move({12, 13}, false);
             h.slice(4);
             h.move({3}, false);
         }},
        {"drop before the cursor",
         [](Harness& h) {
             h.slice(8);
             h.drop(2, 3);
             h.slice(2);
             h.drop(0, 2);
         }},
        {"playback reads the current title first",
         [](Harness& h) {
             h.play();
             h.slice(1);
             h.remove({0});
             h.play();
         }},
        {"rows behind refilled mid-way",
         [](Harness& h) {
             h.scroll(14);
             h.slice(6);
             h.refresh();
             h.remove({2});
             h.slice(6);
             h.scroll(0);
             h.slice(1);
         }},
    };
    for (const auto& [name, commands] : scenarios) {
        SCOPED_TRACE(name);
        Harness h;
        commands(h);
        // The view's rows are never left behind by a slice.
        const int top = h.listBox.topIndex();
        h.slice(1);
        for (int i = top; i < std::min(h.listBox.count(), top + h.listBox.visibleRows()); ++i)
            EXPECT_FALSE(h.playlist.entries[static_cast<size_t>(i)].rowBehind);

        while (h.slice(1000) > 0) {
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

// A worker is held at one file while the commands change the list: the
// slice takes what the workers have read, reads the rows in view itself and
// stops, without reading or spinning, at the first entry they have yet to
// read. Let go, the worker reads on; every title lands on the entry whose
// file it was read from, and each file is read once by one thread. With one
// worker all this happens in a known order; with two, the other reads on
// beside the commands.
TEST(PendingTitles, TitlesReadAheadLandOnTheirOwnEntriesWhateverTheCommandsDo) {
    const std::pair<const char*, void (*)(Harness&)> scenarios[] = {
        {"sorted",
         [](Harness& h) {
             sortPlaylist(h.playlist);
             h.refresh();
         }},
        {"rows removed",
         [](Harness& h) {
             h.remove({0, 3, 9, 15});
         }},
        {"rows moved",
         [](Harness& h) {
             h.move({1, 2, 11}, true);
             h.move({16}, false);
         }},
        {"files dropped in", [](Harness& h) { h.drop(5, 3); }},
        // The file the worker reads now is left to it, not read twice.
        {"the worker's file scrolled into view",
         [](Harness& h) {
             h.scroll(6);
             h.slice(1000);
             EXPECT_TRUE(h.work.waiting);
         }},
        {"opened again after its tags were edited",
         [](Harness& h) {
             h.letGo();
             h.ahead.reset();
             h.reads.clear();
             h.tagVersion = ZT(" v2");
             h.open();
             h.startAhead();
         }},
        {"every title needed now",
         [](Harness& h) {
             h.letGo();
             finishPendingTitles(h.caption, h.listBox, h.playlist, h.reader, false, &h.ahead);
             EXPECT_EQ(countPendingTitles(h.playlist), 0);
         }},
        // Held while an entry starts: let go, it reads on; stopped, it ends.
        {"held, then let go",
         [](Harness& h) {
             h.ahead.hold(true);
             h.letGo();
             h.ahead.hold(false);
         }},
        {"held, then every title needed now",
         [](Harness& h) {
             h.ahead.hold(true);
             h.letGo();
             finishPendingTitles(h.caption, h.listBox, h.playlist, h.reader, false, &h.ahead);
             EXPECT_EQ(countPendingTitles(h.playlist), 0);
         }},
    };
    for (const int workers : {1, 2})
        for (const auto& [name, command] : scenarios) {
            SCOPED_TRACE(name);
            SCOPED_TRACE(workers);
            Harness h;
            h.workers = workers;
            h.scroll(14);
            h.startAheadHeldAt(8);
            h.slice(1000);
            EXPECT_TRUE(h.work.waiting);
            if (workers == 1) {
                EXPECT_EQ(countPendingTitles(h.playlist), 20 - 8 - 5);
            }
            command(h);
            h.letGo();
            h.readRest();
            h.refresh();
            h.ahead.reset();  // the worker may still pass entries removed
            for (const auto& [path, count] : h.reads)
                EXPECT_EQ(count, 1) << utf16ToUtf8(path);
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
