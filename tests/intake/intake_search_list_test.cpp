// ".zav" search lists in link form and in filter form.
#include <gtest/gtest.h>

#include "../playlist/playlist_test_util.h"
#include "playlist/intake.h"

namespace zav2::test {
namespace {

class SearchListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.file("lib/music/rock live.mp3", "Live Rock");
        dir.file("lib/music/rock studio.mp3");
        dir.file("lib/music/demo tape.mp3");
        dir.file("lib/music/Live Rock.mp3");
        dir.file("lib/music/jazz.ogg");
        dir.file("lib/music/cover.jpg");
        dir.file("lib/music/list.m3u8");
        dir.file("lib/music/old/rock old.mp3");
        dir.file("lib/music/old/Skip/rock skipped.mp3");
        dir.file("lib/other/b.mp3");
    }

    // Opens a ".zav" with these lines (CR LF, a byte order mark first).
    std::vector<String> openWith(const std::string& lines, IntakeSettings settings = {}) {
        dir.textFile("lib/s.zav", "\xEF\xBB\xBF" + lines);
        playlist = {};
        openPath(playlist, currentFolder, dir.path("lib/s.zav"), PathChosenBy::FileDialog, settings,
                 {}, false);
        return namesOf(playlist);
    }

    TempFolder dir;
    Playlist playlist;
    String currentFolder;
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
        {"*\r\n\r\n" + dir.utf8("lib/music") + "\r\n", false, allOfMusic},
        {"*\r\n\r\nmusic/../other\r\n", false, texts({"b.mp3"})},
        {"*", false, {}},
        // The words match file names (not titles) as the filter expression
        // does; without words nothing matches.
        {"rock -live\r\n\r\nmusic", false, texts({"rock studio.mp3"})},
        {"Live\r\n\r\nmusic", false, texts({"Live Rock.mp3"})},
        {"\r\n*\r\nmusic", false, {}},
        // A folder filter descends into the matching folders, never "Skip".
        {"rock\r\n*\r\nmusic", true, texts({"rock live.mp3", "rock studio.mp3", "rock old.mp3"})},
        {"rock\r\nold\r\nmusic", true, texts({"rock live.mp3", "rock studio.mp3", "rock old.mp3"})},
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
    dir.textFile("lib/music/list.m3u8", "#EXTM3U\r\njazz.ogg\r\n../other/b.mp3\r\n");
    EXPECT_EQ(openWith(dir.utf8("lib/music/list.m3u8")), texts({"jazz.ogg", "b.mp3"}));
    // Another search list.
    dir.textFile("lib/music/inner.zav", "demo\r\n\r\n");
    EXPECT_EQ(openWith(dir.utf8("lib/music/inner.zav")), texts({"demo tape.mp3"}));
}

TEST(SearchListLines, ByteOrderMarkLineEndsAndLength) {
    TempFolder dir;
    dir.textFile("a.zav",
                 "\xEF\xBB\xBF"
                 "one\r\ntwo\n" +
                     std::string(300, 'x') + "\r\nfour");
    const auto lines = readSearchListLines(dir.path("a.zav"));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->line1, text("one"));
    EXPECT_EQ(lines->line2, text("two"));
    EXPECT_EQ(lines->line3, String(259, 'x'));
    dir.textFile("b.zav", "\xE6\xAD\x8C");  // 歌, no line end
    EXPECT_EQ(readSearchListLines(dir.path("b.zav"))->line1, String(1, 0x6B4C));
    EXPECT_FALSE(readSearchListLines(dir.path("missing.zav")));
    // A line with a NUL would name whatever comes before the NUL.
    dir.textFile("c.zav", dir.utf8("a.zav") + std::string("\0x\r\ntwo", 7));
    EXPECT_EQ(readSearchListLines(dir.path("c.zav"))->line1, String());
    EXPECT_EQ(readSearchListLines(dir.path("c.zav"))->line2, text("two"));
}

}  // namespace
}  // namespace zav2::test
