// Files, folders and lists dropped onto the list box.
#include <gtest/gtest.h>

#include "../playlist/playlist_test_util.h"
#include "platform/file.h"
#include "playlist/intake.h"
#include "memory_list_box.h"

namespace zav2::test {
namespace {

class DropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.file("in/d1.mp3", "Dropped One");
        dir.file("in/d2.mp3");
        dir.file("in/p.png");
        dir.file("in/sub/deep.mp3");
        dir.file("loose.mp3");
        dir.file("cover.jpg");
        for (int i = 0; i < 8; ++i)
            dir.file("list/e" + std::to_string(i) + ".mp3");
        String ignored;
        openPath(playlist, ignored, dir.path("list/e0.mp3"), PathChosenBy::CommandLine, {}, {},
                 false);
        for (const PlaylistEntry& entry : playlist.entries)
            listBox.insert(listBox.count(), displayText(entry, false));
    }

    int drop(const std::vector<String>& paths, int at) {
        return dropOnList(playlist, listBox, paths, at, currentFolder, settings);
    }

    TempFolder dir;
    Playlist playlist;
    MemoryListBox listBox;
    String currentFolder;
    IntakeSettings settings;
};

TEST_F(DropTest, FilesOntoAnItemGoBeforeItAndCurrentFollowsItsEntry) {
    playlist.current = 5;
    const int added = drop({dir.path("loose.mp3"), dir.path("cover.jpg"), dir.path("in")}, 3);
    // The folder gives its own files only, in the order the file system lists them.
    std::vector<String> folderNames;
    for (const FolderItem& item : listFolder(dir.path("in"))) {
        if (!item.isFolder && item.name != text("p.png"))
            folderNames.push_back(item.name);
    }
    ASSERT_EQ(added, 3);
    EXPECT_EQ(namesOf(playlist)[3], text("loose.mp3"));
    EXPECT_EQ(namesOf(playlist)[4], folderNames[0]);
    EXPECT_EQ(namesOf(playlist)[5], folderNames[1]);
    EXPECT_EQ(namesOf(playlist)[6], text("e3.mp3"));
    EXPECT_EQ(playlist.current, 8);
    EXPECT_EQ(playlist.entries[8].path, dir.path("list/e5.mp3"));
    EXPECT_EQ(currentFolder, dir.path());
    expectAligned(playlist, listBox);
    EXPECT_NE(std::find(listBox.items().begin(), listBox.items().end(), text("Dropped One")),
              listBox.items().end());
}

TEST_F(DropTest, BelowTheLastItemAppendsAndCurrentBeforeStays) {
    playlist.current = 2;
    drop({dir.path("loose.mp3")}, dropInsertionPoint(0x0001'0007, playlist));
    EXPECT_EQ(namesOf(playlist).back(), text("loose.mp3"));
    EXPECT_EQ(playlist.current, 2);
    expectAligned(playlist, listBox);
}

TEST_F(DropTest, OntoAnEmptyListMakesTheFirstCurrent) {
    playlist = {};
    listBox.reset(0);
    drop({dir.path("cover.jpg"), dir.path("in/d2.mp3"), dir.path("in/d1.mp3")}, 0);
    EXPECT_EQ(namesOf(playlist), texts({"d2.mp3", "d1.mp3"}));
    EXPECT_EQ(playlist.current, 0);
    expectAligned(playlist, listBox);

    playlist = {};
    listBox.reset(0);
    drop({dir.path("cover.jpg")}, 0);
    EXPECT_EQ(playlist.current, -1);
}

TEST_F(DropTest, ListIsReadInPlace) {
    dir.textFile("in/l.m3u8", "#EXTM3U\r\n#EXTINF:3,Named\r\nd2.mp3\r\nmissing.mp3\r\n");
    playlist.current = 1;
    drop({dir.path("in/l.m3u8"), dir.path("loose.mp3")}, 1);
    EXPECT_EQ(namesOf(playlist)[1], text("d2.mp3"));
    EXPECT_EQ(playlist.entries[1].title, text("Named"));
    EXPECT_EQ(namesOf(playlist)[2], text("loose.mp3"));
    EXPECT_EQ(playlist.current, 3);
    expectAligned(playlist, listBox);
}

TEST_F(DropTest, SearchListSortsEverythingAndKeepsCurrentAndRowsInLine) {
    dir.textFile("in/s.zav", "d\r\n\r\n");
    playlist.current = 6;
    drop(
        {dir.path("loose.mp3"), dir.path("in/s.zav"), dir.path("cover.jpg"), dir.path("in/d1.mp3")},
        2);
    EXPECT_EQ(playlist.entries.size(), 8u + 1 + 2 + 1);
    EXPECT_EQ(playlist.entries[playlist.current].path, dir.path("list/e6.mp3"));
    expectAligned(playlist, listBox);
}

}  // namespace
}  // namespace zav2::test
