// Opening a file, a folder, a list and the resume at start-up, over real
// folders.
#include <gtest/gtest.h>

#include "../playlist/playlist_test_util.h"
#include "platform/file.h"
#include "playlist/intake.h"

namespace zav2::test {
namespace {

OpenOutcome open(Playlist& playlist, String& currentFolder, StringView path,
                 PathChosenBy how = PathChosenBy::CommandLine, IntakeSettings settings = {},
                 ResumePoint resume = {}) {
    return openPath(playlist, currentFolder, path, how, settings, resume, false);
}

class OpenFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.file("a/x.mp3");
        dir.file("a/b.mp3");
        dir.file("a/x.pdf");
        dir.file("a/README");  // no dot: media
        for (const char* excluded : {"a/cover.png", "a/photo.JPG", "a/p.jpeg", "a/notes.txt",
                                     "a/l.m3u", "a/l.M3U8", "a/s.zav"}) {
            dir.file(excluded);
        }
        dir.file("a/sub/y.mp3");
        dir.file("a/sub/Skip/z.mp3");
        dir.file("a/sub2/skip/w.mp3");  // a different folder on any file system
        dir.file("a/Skip/v.mp3");
    }
    TempFolder dir;
    Playlist playlist;
    String currentFolder;
};

TEST_F(OpenFolderTest, SubFoldersSkipTheIgnoredNameInExactCaseAtEveryDepth) {
    IntakeSettings settings;
    settings.searchSubFolders = true;
    settings.ignoreDir = text("Skip");
    open(playlist, currentFolder, dir.path("a/x.mp3"), PathChosenBy::FileDialog, settings);
    EXPECT_EQ(namesOf(playlist), texts({"b.mp3", "README", "x.mp3", "x.pdf", "y.mp3", "w.mp3"}));
    EXPECT_EQ(playlist.entries[playlist.current].path, dir.path("a/x.mp3"));

    settings.ignoreDir.clear();
    open(playlist, currentFolder, dir.path("a/x.mp3"), PathChosenBy::FileDialog, settings);
    EXPECT_EQ(playlist.entries.size(), 8u);
}

// A folder loads its own files with the first current; a missing path then
// empties the list and keeps the folder.
TEST_F(OpenFolderTest, FolderLoadsItselfAndAMissingPathEmptiesTheList) {
    open(playlist, currentFolder, dir.path("a/sub"), PathChosenBy::FolderDialog);
    EXPECT_EQ(namesOf(playlist), texts({"y.mp3"}));
    EXPECT_EQ(playlist.current, 0);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));

    const OpenOutcome outcome = open(playlist, currentFolder, dir.path("a/sub/gone.mp3"));
    EXPECT_FALSE(outcome.pathExisted);
    EXPECT_FALSE(outcome.addToRecent);
    EXPECT_TRUE(playlist.empty());
    EXPECT_EQ(playlist.current, -1);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));
}

TEST_F(OpenFolderTest, ListOpensWithFirstEntryOrOnResumeTheStoredOne) {
    dir.textFile("a/l.m3u8", "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,Song B\r\nb.mp3\r\n" +
                                 dir.utf8("a/sub/y.mp3") + "\r\n");
    open(playlist, currentFolder, dir.path("a/l.m3u8"));
    EXPECT_EQ(namesOf(playlist), texts({"b.mp3", "y.mp3"}));
    EXPECT_EQ(playlist.entries[0].title, text("Song B"));
    EXPECT_EQ(playlist.current, 0);

    ResumePoint resume{dir.path("a/sub"), dir.path("a/sub/y.mp3")};
    // The stored folder is the base of relative lines: b.mp3 is not found there.
    const OpenOutcome outcome = open(playlist, currentFolder, dir.path("a/l.m3u8"),
                                     PathChosenBy::ResumeAtStartUp, {}, resume);
    EXPECT_FALSE(outcome.addToRecent);
    EXPECT_EQ(currentFolder, dir.path("a/sub"));
    EXPECT_EQ(namesOf(playlist), texts({"y.mp3"}));

    resume.folder = dir.path("a");
    open(playlist, currentFolder, dir.path("a/l.m3u8"), PathChosenBy::ResumeAtStartUp, {}, resume);
    EXPECT_EQ(playlist.current, 1);
}

TEST(OpenLongPaths, PathsOverTheLimitAreSkippedNotCut) {
    TempFolder dir;
    const size_t room = kMaxPath - dir.path().size() - 1;
    const std::string fits(room, 'f');
    const std::string tooLong(room + 1, 'g');
    dir.file(fits);
    std::error_code error;
    std::ofstream(std::filesystem::path(dir.path(tooLong)), std::ios::binary) << "x";
    if (!pathExists(dir.path(tooLong)))
        GTEST_SKIP() << "this file system refuses paths over the limit";
    Playlist playlist;
    scanFolder(playlist, dir.path(), false, {});
    ASSERT_EQ(playlist.entries.size(), 1u);
    EXPECT_EQ(playlist.entries[0].path, dir.path(fits));
}

TEST(OpenUnreadable, MissingFolderContributesNothing) {
    Playlist playlist;
    scanFolder(playlist, ZT("/nonexistent-zav2/folder"), true, {});
    EXPECT_TRUE(playlist.empty());
}

}  // namespace
}  // namespace zav2::test
