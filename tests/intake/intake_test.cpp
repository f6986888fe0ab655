// Opening a file, a folder, a list, a ".zav" search list and the resume at
// start-up, and paths dropped onto the list box, over real folders.
#include <gtest/gtest.h>

#include <set>

#include "../playlist/playlist_test_util.h"
#include "memory_list_box.h"
#include "platform/file.h"
#include "playlist/intake.h"
#include "playlist/pending_titles.h"
#include "playlist/playlist_file.h"
#include "tags/tags.h"

namespace zav2::test {
namespace {

class Intake : public ::testing::Test {
  protected:
    void files(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            dir.file(name);
    }
    OpenOutcome open(StringView path, PathChosenBy how = PathChosenBy::CommandLine,
                     IntakeSettings settings = {}, ResumePoint resume = {}) {
        return openPath(playlist, currentFolder, path, how, settings, resume, false);
    }
    TempFolder dir;
    Playlist playlist;
    String currentFolder;
};

// README has no dot: media. "a/sub2/skip" differs from "Skip" on any file system.
class OpenFolderTest : public Intake {
    void SetUp() override {
        files({"a/x.mp3", "a/b.mp3", "a/x.pdf", "a/README", "a/cover.png", "a/photo.JPG",
               "a/p.jpeg", "a/notes.txt", "a/l.m3u", "a/l.M3U8", "a/s.zav", "a/sub/y.mp3",
               "a/sub/Skip/z.mp3", "a/sub2/skip/w.mp3", "a/Skip/v.mp3"});
    }
};

TEST_F(OpenFolderTest, SubFoldersSkipTheIgnoredNameInExactCaseAtEveryDepth) {
    IntakeSettings settings;
    settings.searchSubFolders = true;
    settings.ignoreDir = text("Skip");
    open(dir.path("a/x.mp3"), PathChosenBy::FileDialog, settings);
    EXPECT_EQ(namesOf(playlist), texts({"b.mp3", "README", "x.mp3", "x.pdf", "y.mp3", "w.mp3"}));
    EXPECT_EQ(playlist.entries[playlist.current].path, dir.path("a/x.mp3"));

    settings.ignoreDir.clear();
    open(dir.path("a/x.mp3"), PathChosenBy::FileDialog, settings);
    EXPECT_EQ(playlist.entries.size(), 8u);
}

// The window walks a folder a slice at a time: stopped after every folder it
// lists, the walk still finds every file, in the order of one go.
TEST_F(OpenFolderTest, AWalkStoppedAfterEveryFolderFindsWhatOneGoFinds) {
    Playlist whole;
    scanFolder(whole, dir.path("a"), true, text("Skip"));
    FolderWalk walk(dir.path("a"), true, text("Skip"));
    Playlist sliced;
    int stops = 0;
    while (!walk.step(sliced, [] { return false; }))
        ++stops;
    EXPECT_EQ(namesOf(sliced), namesOf(whole));
    EXPECT_EQ(stops, 4);  // a, a/sub, a/sub2, a/sub2/skip
}

// A folder loads its own files with the first current; a missing path then
// empties the list and keeps the folder.
TEST_F(OpenFolderTest, FolderLoadsItselfAndAMissingPathEmptiesTheList) {
    open(dir.path("a/sub"), PathChosenBy::FolderDialog);
    EXPECT_EQ(namesOf(playlist), texts({"y.mp3"}));
    EXPECT_EQ(playlist.current, 0);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));

    const OpenOutcome outcome = open(dir.path("a/sub/gone.mp3"));
    EXPECT_FALSE(outcome.pathExisted || outcome.addToRecent);
    EXPECT_TRUE(playlist.empty());
    EXPECT_EQ(playlist.current, -1);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));
}

TEST_F(OpenFolderTest, ListOpensWithFirstEntryOrOnResumeTheStoredOne) {
    dir.write("a/l.m3u8", "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,Song B\r\nb.mp3\r\n" +
                              dir.utf8("a/sub/y.mp3") + "\r\n");
    open(dir.path("a/l.m3u8"));
    EXPECT_EQ(namesOf(playlist), texts({"b.mp3", "y.mp3"}));
    EXPECT_EQ(playlist.entries[0].title, text("Song B"));
    EXPECT_EQ(playlist.current, 0);

    ResumePoint resume{dir.path("a/sub"), dir.path("a/sub/y.mp3")};
    // The stored folder is the base of relative lines: b.mp3 is not found there.
    const OpenOutcome outcome =
        open(dir.path("a/l.m3u8"), PathChosenBy::ResumeAtStartUp, {}, resume);
    EXPECT_FALSE(outcome.addToRecent);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));
    EXPECT_EQ(namesOf(playlist), texts({"y.mp3"}));

    resume.folder = dir.path("a");
    open(dir.path("a/l.m3u8"), PathChosenBy::ResumeAtStartUp, {}, resume);
    EXPECT_EQ(playlist.current, 1);
}

// A list written while titles were still being read leaves those out; the
// resume takes the written titles as they stand and reads only the others.
TEST_F(OpenFolderTest, ResumeKeepsWrittenTitlesAndReadsOnlyTheMissingOnes) {
    Playlist before;
    appendEntry(before, dir.path("a/b.mp3"), text("Known"));
    appendEntry(before, dir.path("a/x.mp3"), {}, true);
    before.current = 0;
    PlaylistWriteOptions options;
    options.automatic = true;
    dir.write("r.m3u8", formatPlaylistFile(before, options));
    open(dir.path("r.m3u8"), PathChosenBy::ResumeAtStartUp);
    ASSERT_EQ(playlist.entries.size(), 2u);
    EXPECT_EQ(playlist.entries[0].title, text("Known"));
    EXPECT_FALSE(playlist.entries[0].titlePending);
    EXPECT_EQ(playlist.entries[1].title, String());
    EXPECT_TRUE(playlist.entries[1].titlePending);
}

// A missing folder gives nothing; paths over the limit are skipped, not cut.
TEST_F(Intake, AMissingFolderGivesNothingAndLongPathsAreSkippedNotCut) {
    scanFolder(playlist, ZT("/nonexistent-zav2/folder"), true, {});
    EXPECT_TRUE(playlist.empty());
    const size_t room = kMaxPath - dir.path().size() - 1;
    const std::string fits(room, 'f');
    const std::string tooLong(room + 1, 'g');
    dir.file(fits);
    std::ofstream(std::filesystem::path(dir.path(tooLong)), std::ios::binary) << "x";
    if (!pathExists(dir.path(tooLong)))
        GTEST_SKIP() << "this file system refuses paths over the limit";
    scanFolder(playlist, dir.path(), false, {});
    ASSERT_EQ(playlist.entries.size(), 1u);
    EXPECT_EQ(playlist.entries[0].path, dir.path(fits));
}

// --- Search lists in link form and in filter form ----------------------------

class SearchListTest : public Intake {
  protected:
    void SetUp() override {
        dir.file("lib/music/rock live.mp3", "Live Rock");
        files({"lib/music/rock studio.mp3", "lib/music/demo tape.mp3", "lib/music/Live Rock.mp3",
               "lib/music/jazz.ogg", "lib/music/cover.jpg", "lib/music/list.m3u8",
               "lib/music/old/rock old.mp3", "lib/music/old/Skip/rock skipped.mp3",
               "lib/other/b.mp3"});
    }

    // Opens a ".zav" with these lines (CR LF, a byte order mark first).
    std::vector<String> openWith(const std::string& lines, IntakeSettings settings = {}) {
        dir.write("lib/s.zav", "\xEF\xBB\xBF" + lines);
        playlist = {};
        open(dir.path("lib/s.zav"), PathChosenBy::FileDialog, settings);
        return namesOf(playlist);
    }
};

// The filter form: words on line 1, a folder filter on line 2 ("*" any, empty
// the base folder only), the base folder on line 3 (relative to the search
// list's folder; none: that folder, which holds only the list itself).
TEST_F(SearchListTest, FilterFormTakesMatchingFilesUnderTheBase) {
    struct Case {
        std::string lines;
        bool skip;  // the ignored folder name "Skip" is set
        std::vector<String> names;
    };
    const std::vector<String> allOfMusic =
        texts({"demo tape.mp3", "jazz.ogg", "Live Rock.mp3", "rock live.mp3", "rock studio.mp3"});
    const Case cases[] = {
        {"*\r\n\r\nmusic\r\n", false, allOfMusic},
        {"*\r\n\r\nmusic/../other\r\n", false, texts({"b.mp3"})},
        {"*", false, {}},
        // The words match file names (not titles) as the filter expression
        // does; without words nothing matches.
        {"rock -live\r\n\r\nmusic", false, texts({"rock studio.mp3"})},
        {"Live\r\n\r\nmusic", false, texts({"Live Rock.mp3"})},
        // A folder filter descends into the matching folders, never "Skip".
        {"rock\r\n*\r\nmusic", true, texts({"rock live.mp3", "rock studio.mp3", "rock old.mp3"})},
        {"rock\r\n*\r\nmusic", false,
         texts({"rock live.mp3", "rock studio.mp3", "rock old.mp3", "rock skipped.mp3"})},
        {"rock\r\nnothing\r\nmusic", false, texts({"rock live.mp3", "rock studio.mp3"})},
    };
    for (const Case& c : cases) {
        IntakeSettings settings;
        if (c.skip)
            settings.ignoreDir = text("Skip");
        EXPECT_EQ(openWith(c.lines, settings), c.names) << c.lines;
        EXPECT_EQ(playlist.current, c.names.empty() ? -1 : 0) << c.lines;
    }
}

TEST_F(SearchListTest, LinkFormLoadsWhatItNames) {
    // A folder.
    EXPECT_EQ(openWith(dir.utf8("lib/other") + "\r\nignored\r\nignored").size(), 1u);
    // A media file: its folder, that file current.
    openWith(dir.utf8("lib/music/jazz.ogg"));
    EXPECT_EQ(playlist.entries.size(), 5u);
    EXPECT_EQ(playlist.entries[playlist.current].path, dir.path("lib/music/jazz.ogg"));
    // A list, relative lines from the list's folder.
    dir.write("lib/music/list.m3u8", "#EXTM3U\r\njazz.ogg\r\n../other/b.mp3\r\n");
    EXPECT_EQ(openWith(dir.utf8("lib/music/list.m3u8")), texts({"jazz.ogg", "b.mp3"}));
    // Another search list.
    dir.write("lib/music/inner.zav", "demo\r\n\r\n");
    EXPECT_EQ(openWith(dir.utf8("lib/music/inner.zav")), texts({"demo tape.mp3"}));
}

TEST_F(Intake, SearchListLinesByteOrderMarkLineEndsAndLength) {
    dir.write("a.zav", "\xEF\xBB\xBFone\r\ntwo\n" + std::string(300, 'x') + "\r\nfour");
    const auto lines = readSearchListLines(dir.path("a.zav"));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->line1, text("one"));
    EXPECT_EQ(lines->line2, text("two"));
    EXPECT_EQ(lines->line3, String(259, 'x'));
    dir.write("b.zav", "\xE6\xAD\x8C");  // 歌, no line end
    EXPECT_EQ(readSearchListLines(dir.path("b.zav"))->line1, String(1, 0x6B4C));
    EXPECT_FALSE(readSearchListLines(dir.path("missing.zav")));
    // A line with a NUL would name whatever comes before the NUL.
    dir.write("c.zav", dir.utf8("a.zav") + std::string("\0x\r\ntwo", 7));
    EXPECT_EQ(readSearchListLines(dir.path("c.zav"))->line1, String());
    EXPECT_EQ(readSearchListLines(dir.path("c.zav"))->line2, text("two"));
}

// --- Files, folders and lists dropped onto the list box ----------------------

class DropTest : public Intake {
  protected:
    void SetUp() override {
        dir.file("in/d1.mp3", "Dropped One");
        files({"in/d2.mp3", "in/p.png", "in/sub/deep.mp3", "loose.mp3", "cover.jpg"});
        for (int i = 0; i < 8; ++i)
            dir.file("list/e" + std::to_string(i) + ".mp3");
        open(dir.path("list/e0.mp3"));
        for (const PlaylistEntry& entry : playlist.entries)
            listBox.insert(listBox.count(), displayText(entry, false));
    }
    // Drops these names of the folder.
    int drop(std::initializer_list<const char*> names, int at) {
        std::vector<String> paths;
        for (const char* name : names)
            paths.push_back(dir.path(name));
        return dropOnList(playlist, listBox, paths, at, currentFolder, {});
    }
    MemoryListBox listBox;
};

// A list is read in place, its missing entries left out.
TEST_F(DropTest, PathsOntoAnItemGoBeforeItAndCurrentFollowsItsEntry) {
    dir.write("in/l.m3u8", "#EXTM3U\r\n#EXTINF:3,Named\r\nd2.mp3\r\nmissing.mp3\r\n");
    playlist.current = 5;
    ASSERT_EQ(drop({"loose.mp3", "cover.jpg", "in/l.m3u8", "in"}, 3), 4);
    const std::vector<String> names = namesOf(playlist);
    EXPECT_EQ((std::vector{names[3], names[7]}), texts({"loose.mp3", "e3.mp3"}));
    EXPECT_EQ(playlist.entries[4].path, dir.path("in/d2.mp3"));
    EXPECT_EQ(playlist.entries[4].title, text("Named"));
    // The folder gives its own files only, in the order the file system lists them.
    EXPECT_EQ((std::set{names[5], names[6]}), (std::set{text("d1.mp3"), text("d2.mp3")}));
    EXPECT_EQ(playlist.current, 9);
    EXPECT_EQ(playlist.entries[9].path, dir.path("list/e5.mp3"));
    EXPECT_EQ(currentFolder, dir.path());
    expectAligned(playlist, listBox);
    // Tags are read after the rows are in.
    MemoryCaption caption;
    finishPendingTitles(caption, listBox, playlist, readTitle, false);
    EXPECT_NE(std::find(listBox.items().begin(), listBox.items().end(), text("Dropped One")),
              listBox.items().end());
}

TEST_F(DropTest, BelowTheLastItemAppendsOntoTheFirstGoesFirst) {
    playlist.current = 2;
    drop({"loose.mp3"}, dropInsertionPoint(RowAtPoint{7, true}, playlist));
    EXPECT_EQ(namesOf(playlist).back(), text("loose.mp3"));
    EXPECT_EQ(playlist.current, 2);
    drop({"in"}, 0);
    const std::vector<String> names = namesOf(playlist);
    EXPECT_EQ((std::set{names[0], names[1]}), (std::set{text("d1.mp3"), text("d2.mp3")}));
    EXPECT_EQ(playlist.current, 4);
    expectAligned(playlist, listBox);
}

TEST_F(DropTest, OntoAnEmptyListMakesTheFirstCurrent) {
    playlist = {};
    listBox.reset(0);
    drop({"cover.jpg", "in/d2.mp3", "in/d1.mp3"}, 0);
    EXPECT_EQ(namesOf(playlist), texts({"d2.mp3", "d1.mp3"}));
    EXPECT_EQ(playlist.current, 0);
    expectAligned(playlist, listBox);

    playlist = {};
    listBox.reset(0);
    drop({"cover.jpg"}, 0);
    EXPECT_EQ(playlist.current, -1);
}

TEST_F(DropTest, SearchListSortsEverythingAndKeepsCurrentAndRowsInLine) {
    dir.write("in/s.zav", "d\r\n\r\n");
    playlist.current = 6;
    drop({"loose.mp3", "in/s.zav", "cover.jpg", "in/d1.mp3"}, 2);
    EXPECT_EQ(playlist.entries.size(), 8u + 1 + 2 + 1);
    EXPECT_EQ(playlist.entries[playlist.current].path, dir.path("list/e6.mp3"));
    expectAligned(playlist, listBox);
}

}  // namespace
}  // namespace zav2::test
