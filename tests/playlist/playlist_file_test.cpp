// List files read and written over real folders, and when the resume list is
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "memory_list_box.h"
#include "platform/file.h"
#include "platform/path.h"
#include "playlist/playlist_file.h"
#include "playlist/resume_schedule.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

String operator/(const String& folder, StringView name) {
    return combinePath(folder, name);
}

// Each entry's path and title.
using Entries = std::vector<std::pair<String, String>>;
Entries entriesOf(const Playlist& playlist) {
    Entries out;
    for (const PlaylistEntry& entry : playlist.entries)
        out.emplace_back(entry.path, entry.title);
    return out;
}

// A list folder "in" with a few media files (contents do not matter) and one
// file beside it.
class ListFolder : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"in/a.mp3", "in/b.mp3", "in/c.flac", "in/sub/d.mp3", "up.mp3"})
            dir.file(name);
        folder = dir.path("in");
    }
    static std::string utf8(const String& text) { return utf16ToUtf8(text); }
    static std::string read(const String& path) {
        return readWholeFile(path, 1 << 20).value_or("?");
    }
    // The list `name` of the folder read against `base` (the folder), onto `playlist`.
    int readList(StringView name, Playlist& playlist, const String& base = {}) {
        int count = 0;
        readPlaylistFile(playlist, folder / name, base.empty() ? folder : base, 0, count, nullptr,
                         false);
        return count;
    }
    // Saves the list as `name` in the folder and reads it back against `base`.
    Playlist saveAndRead(const Playlist& playlist, const PlaylistWriteOptions& options,
                         StringView name, const String& base, MemoryCaption& caption) {
        EXPECT_TRUE(savePlaylistFile(caption, folder / name, playlist, options, ZT("Song - Zav2")));
        Playlist back;
        readList(name, back, base);
        return back;
    }

    test::TempFolder dir;
    String folder;
};

TEST_F(ListFolder, ReadsTitlesRelativeAndAbsoluteLinesAndSkipsMissingFiles) {
    std::string lines =
        "\xEF\xBB\xBF#EXTM3U\r\n"
        "#EXTINF:200,Song A\r\n"
        "a.mp3\r\n"
        "#EXTINF:-1,Lost title\r\n"
        "missing.mp3\r\n"  // left out; its title waits for the next file
        "sub/d.mp3\r\n"
        "#EXTINF:5\r\n"  // no comma: the text after "#EXTINF:"
        "sub/../c.flac\r\n"
        "\r\n"
        "x\n"  // too short to be anything
        "../up.mp3\n"
        "# comment\n"
        "#EXTINF:1,Last\n";
    std::replace(lines.begin(), lines.end(), '/', static_cast<char>(kPathSeparator));
    lines += utf8(folder / ZT("b.mp3"));  // absolute, no final line end
    dir.write("in/list.m3u8", lines);

    Playlist playlist;
    EXPECT_EQ(readList(ZT("list.m3u8"), playlist), 5);
    EXPECT_EQ(entriesOf(playlist), (Entries{{folder / ZT("a.mp3"), ZT("Song A")},
                                            {folder / ZT("sub") / ZT("d.mp3"), ZT("Lost title")},
                                            {folder / ZT("c.flac"), ZT("5")},
                                            {dir.path("up.mp3"), {}},
                                            {folder / ZT("b.mp3"), ZT("Last")}}));
}

TEST_F(ListFolder, InsertsAtTheDropPointWithListBoxRows) {
    Playlist playlist = test::makePlaylist({ZT("x.mp3"), ZT("y.mp3")}, 1);
    MemoryListBox listBox;
    MemoryCaption caption;
    rebuildListBox(caption, listBox, playlist, false);
    dir.write("in/list.m3u8", "#EXTINF:1,Titled\na.mp3\nc.flac\n");

    int count = 0;
    readPlaylistFile(playlist, folder / ZT("list.m3u8"), folder, 1, count, &listBox, true);
    EXPECT_EQ(count, 2);
    // No title anywhere: the full path, here without its extension.
    EXPECT_EQ(listBox.items(),
              (std::vector<String>{ZT("x.mp3"), ZT("Titled"), folder / ZT("c"), ZT("y.mp3")}));
    EXPECT_EQ(playlist.entries[2].path, folder / ZT("c.flac"));

    // Unreadable lists add nothing.
    readPlaylistFile(playlist, folder / ZT("none.m3u8"), folder, 0, count, &listBox, true);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(playlist.entries.size(), 4u);
}

TEST_F(ListFolder, ResumeListRoundTripHasFullPathsAndTitles) {
    Playlist playlist;
    appendEntry(playlist, folder / ZT("a.mp3"), ZT("\u66F2 A"));
    appendEntry(playlist, folder / ZT("sub") / ZT("d.mp3"), {});
    playlist.current = 0;  // the loaded media's length is only its own
    PlaylistWriteOptions options;
    options.automatic = true;
    options.currentFolder = folder;
    options.durationSeconds = 215;
    MemoryCaption caption(ZT("Zav2"));
    const Playlist back = saveAndRead(playlist, options, ZT("Zav2.m3u8"), ZT("elsewhere"), caption);

    const std::string expected = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:215,\xE6\x9B\xB2 A\r\n" +
                                 utf8(folder / ZT("a.mp3")) + "\r\n#EXTINF:0,d.mp3\r\n" +
                                 utf8(folder / ZT("sub") / ZT("d.mp3")) + "\r\n";
    EXPECT_EQ(read(folder / ZT("Zav2.m3u8")), expected);
    EXPECT_EQ(caption.text(), ZT("Song - Zav2"));
    EXPECT_EQ(caption.history().front(),
              ZT("\u30D7\u30EC\u30A4\u30EA\u30B9\u30C8\u4FDD\u5B58\u4E2D... (1/2)"));
    playlist.entries[1].title = ZT("d.mp3");
    EXPECT_EQ(entriesOf(back), entriesOf(playlist));
}

TEST_F(ListFolder, EmptyListOrFailedWriteLeavesTheOldFile) {
    const String target = folder / ZT("Zav2.m3u8");
    dir.write("in/Zav2.m3u8", "old");
    MemoryCaption caption(ZT("Zav2"));
    PlaylistWriteOptions options;
    options.automatic = true;
    EXPECT_FALSE(savePlaylistFile(caption, target, Playlist{}, options, ZT("Zav2")));
    EXPECT_EQ(read(target), "old");
    EXPECT_TRUE(caption.history().empty());

    Playlist playlist = test::makePlaylist({ZT("a.mp3")});
    EXPECT_FALSE(savePlaylistFile(caption, folder / ZT("no") / ZT("such.m3u8"), playlist, options,
                                  ZT("Restored")));
    EXPECT_EQ(caption.text(), ZT("Restored"));  // never left showing "saving"
}

TEST_F(ListFolder, OtherByteOrderMarksAndHostileBytes) {
    // UTF-16 with its mark, even under an ".m3u" name.
    dir.write("in/wide.m3u", test::utf16leFile(u"#EXTINF:1,\u66F2\r\na.mp3\r\n"));
    Playlist playlist;
    ASSERT_EQ(readList(ZT("wide.m3u"), playlist), 1);
    EXPECT_EQ(playlist.entries[0].title, ZT("\u66F2"));

    std::string junk = "\n#EXTINF:\n" + std::string(5000, 'a') + "\n\xFF\xFE\xC3\n";
    junk += std::string("b.mp3\0", 6) + "x\n";  // would name b.mp3 if cut at the NUL
    dir.write("in/junk.m3u8", junk);
    EXPECT_EQ(readList(ZT("junk.m3u8"), playlist), 0);

    // A path over the limit is left out whole, never cut into another one.
    const std::string tooLong(kMaxPath - folder.size(), 'g');
    dir.file("in/" + tooLong);
    if (!pathExists(folder / String(tooLong.begin(), tooLong.end())))
        GTEST_SKIP() << "this file system refuses paths over the limit";
    dir.file("in/" + tooLong.substr(0, tooLong.size() - 1));  // what a cut would name
    dir.write("in/long.m3u8", tooLong + "\r\n" + utf8(folder / ZT("b.mp3")) + "\r\n");
    playlist = {};
    ASSERT_EQ(readList(ZT("long.m3u8"), playlist), 1);
    EXPECT_EQ(playlist.entries[0].path, folder / ZT("b.mp3"));
}

// A big list is decoded a piece at a time, each piece ending after a line
// break: pieces of every size read what one piece reads, titles and
// characters split across a piece's end included.
TEST_F(ListFolder, ListReadInPiecesReadsWhatOneReadReads) {
    std::string text = "\xEF\xBB\xBF";
    for (int n = 0; n < 20; ++n)
        text += "#EXTINF:1,\xE6\x9B\xB2 " + std::to_string(n) + "\r\n" +
                (n % 3   ? "a.mp3"
                 : n % 2 ? "b.mp3"
                         : "missing.mp3") +
                "\r\n";
    dir.write("in/big.m3u8", text + utf8(folder / ZT("sub") / ZT("d.mp3")));
    const auto readAll = [&](size_t pieceBytes) {
        Playlist found;
        ListFileRead read(folder / ZT("big.m3u8"), folder, pieceBytes);
        int steps = 0;
        while (!read.step(found, [&] { return ++steps % 2 != 0; })) {
        }
        return entriesOf(found);
    };
    const auto whole = readAll(1 << 20);
    ASSERT_EQ(whole.size(), 17u);
    EXPECT_EQ(whole[2].second, ZT("\u66F2 3"));
    EXPECT_EQ(whole.back().first, folder / ZT("sub") / ZT("d.mp3"));
    for (size_t pieceBytes : {1, 2, 7, 16, 40}) {
        SCOPED_TRACE(pieceBytes);
        EXPECT_EQ(readAll(pieceBytes), whole);
    }
}

TEST(PlaylistPaths, LinesAreWrittenForTheCurrentFolderAndReadLikeTheShellCombiner) {
    const String cur = ZT("D:\\m\\Live");
    EXPECT_EQ(listLinePath(ZT("d:\\M\\live\\a.mp3"), cur, false), ZT(".\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\m\\Live\\cd1\\a.mp3"), cur, false), ZT(".\\cd1\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\m\\live\\cd1\\a.mp3"), cur, false),
              ZT("D:\\m\\live\\cd1\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\m\\Live2\\a.mp3"), cur, false), ZT("D:\\m\\Live2\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\m\\Live\\a.mp3"), cur, true), ZT("D:\\m\\Live\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\x\\a.mp3"), ZT("D:\\"), false), ZT(".\\x\\a.mp3"));
    EXPECT_EQ(listLinePath(ZT("D:\\a.mp3"), ZT(""), false), ZT("D:\\a.mp3"));

    // Plain relative, "..", ".\" and absolute lines are read back from real
    // lists above; here the edges of reading them: no climbing above a root or
    // a share, and a rooted line on the base folder's drive.
    EXPECT_EQ(resolveListLine(ZT("D:\\m"), ZT("..\\..\\..\\b.mp3")), ZT("D:\\b.mp3"));
    EXPECT_EQ(resolveListLine(ZT("D:\\m"), ZT("\\x\\b.mp3")), ZT("D:\\x\\b.mp3"));
    EXPECT_EQ(resolveListLine(ZT("D:\\m"), ZT("\\\\srv\\share\\..\\b.mp3")),
              ZT("\\\\srv\\share\\b.mp3"));
}

// Names the reader would take for a comment or a blank line, and a title with
// line breaks, come back from a list saved in their own folder.
TEST_F(ListFolder, SavedListReadsBackEveryEntry) {
    for (const char* name : {"in/#1 intro.mp3", "in/a", "in/sub/#2.mp3"})
        dir.file(name);
    Playlist playlist;
    appendEntry(playlist, folder / ZT("#1 intro.mp3"), ZT("two\r\nlines\n"));
    appendEntry(playlist, folder / ZT("a"), {});
    appendEntry(playlist, folder / ZT("sub") / ZT("#2.mp3"), {});
    PlaylistWriteOptions options;
    options.currentFolder = folder;
    MemoryCaption caption(ZT("Zav2"));
    const Playlist back = saveAndRead(playlist, options, ZT("saved.m3u8"), folder, caption);
    // Without a title the name stands in.
    EXPECT_EQ(entriesOf(back), (Entries{{folder / ZT("#1 intro.mp3"), ZT("two  lines ")},
                                        {folder / ZT("a"), ZT("a")},
                                        {folder / ZT("sub") / ZT("#2.mp3"), ZT("#2.mp3")}}));
}

// --- When the resume list is written -----------------------------------------

TEST(ResumeSchedule, WritesOnceAValueHasBeenQuietForTwoSeconds) {
    struct Step {
        uint64_t value;
        int64_t now;
        bool due;
    };
    QuietChange rule;
    const Step steps[] = {
        {1, 0, false},    {1, 1999, false}, {1, 2000, true},                    // after start
        {2, 2100, false}, {3, 2600, false}, {3, 4500, false}, {3, 4600, true},  // a burst
    };
    for (const Step& step : steps) {
        EXPECT_EQ(rule.due(step.value, step.now), step.due) << step.now;
        if (step.due)
            rule.written(step.value);
    }
    EXPECT_FALSE(rule.due(3, 9000));  // written: nothing to do
    EXPECT_FALSE(rule.due(1, 9100));
    EXPECT_TRUE(rule.due(1, 11100));  // changed back: written again
}

// The schedule looked at four times a second, writing what it finds due.
struct Looks {
    explicit Looks(Playlist start) : list(std::move(start)) {}
    Playlist list;
    ResumeSchedule schedule;
    int64_t now = 0;
    // The writes of the list and of the keys in `count` looks; `change` comes before each.
    std::pair<int, int> look(
        int count, const std::function<void()>& change = [] {}) {
        std::pair<int, int> writes;
        for (int i = 0; i < count; ++i) {
            change();
            now += 250;
            const ResumeSchedule::Due due = schedule.due(list, now);
            if (due.list)
                ++writes.first, schedule.listWritten();
            if (due.keys)
                ++writes.second, schedule.keysWritten();
        }
        return writes;
    }
};

// Every change the list file holds makes the list due, within a pass over
// the list; a new current entry makes only its keys due (the file would be
// the same megabytes again).
TEST(ResumeSchedule, TheListIsWrittenForItsOwnChangesTheKeysForANewCurrentEntry) {
    const size_t big = ResumeSchedule::kEntriesPerLook * 2 + 5;
    // The quiet time and two passes over `big` entries (three looks each).
    const int enough = static_cast<int>(ResumeSchedule::kQuietMilliseconds) / 250 + 2 * 3;
    struct Case {
        const char* what;
        size_t count;
        std::function<void(Playlist&)> change;
        bool list, keys;
    } const cases[] = {
        {"title", 3, [](Playlist& l) { l.entries[2].title = ZT("t"); }, true, false},
        {"move", 3, [](Playlist& l) { std::swap(l.entries[0], l.entries[1]); }, true, true},
        {"unit moved between strings", 3,
         [](Playlist& l) {
             l.entries[0].path.resize(l.entries[0].path.size() - 1);
             l.entries[0].title = ZT("3");
         },
         true, true},
        {"removed", 3, [](Playlist& l) { l.entries.pop_back(); }, true, false},
        {"current", 3, [](Playlist& l) { l.current = 1; }, false, true},
        {"last title of a big list", big,
         [big](Playlist& l) { l.entries[big - 1].title = ZT("t"); }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<String> paths;
        for (size_t i = 0; i < c.count; ++i)
            paths.push_back(utf8ToUtf16(std::to_string(i)).append(ZT(".mp3")));
        Looks looks(test::makePlaylist(paths, 0));
        const auto wrote = [&] {
            const auto [lists, keys] = looks.look(enough);
            return std::pair(lists > 0, keys > 0);
        };
        ASSERT_EQ(wrote(), std::pair(true, true));  // after start both are written
        ASSERT_EQ(wrote(), std::pair(false, false));
        c.change(looks.list);
        EXPECT_EQ(wrote(), std::pair(c.list, c.keys));
    }
}

// A pass over 100,000 entries takes longer than the quiet time: while titles
// are read the list was written after every pass, each write a copy of the
// whole list on the window's thread.
TEST(ResumeSchedule, ABigListIsNotWrittenWhileItsTitlesStillChange) {
    const size_t count = ResumeSchedule::kEntriesPerLook * 12;  // a pass: 3 s
    Looks looks(test::makePlaylist(std::vector<String>(count, ZT("a.mp3")), 0));
    const auto readTitle = [&] {
        looks.list.entries[static_cast<size_t>(looks.now / 250 + 1) * 97 % count].title = ZT("t");
    };
    EXPECT_EQ(looks.look(12 * 12, readTitle).first, 0);  // twelve passes of titles arriving
    EXPECT_EQ(looks.look(12 * 3).first, 1);
}

TEST(ResumeList, NamedInstancesHaveTheirOwnList) {
    // The unnamed one's Zav2.m3u8: e2e intake.
    EXPECT_EQ(resumeListPath(ZT("D:\\Tools\\Zav2.exe"), ZT("-work")),
              String(ZT("D:\\Tools\\Zav2-work.m3u8")));
}

}  // namespace
}  // namespace zav2
