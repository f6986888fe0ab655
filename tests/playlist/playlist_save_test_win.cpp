// Lists written in the real code page (932 under tools/wine-run), and the
// short names that keep ".m3u" entries findable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_win.h"
#include "playlist_test_util.h"
#include "test_window_win.h"

namespace zav2 {
namespace {

// In a folder with a Japanese name, as music folders often have.
TEST(SaveFolder, AnsiListRoundTripsJapaneseAndShortNamesTheRest) {
    ASSERT_EQ(GetACP(), 932u) << "run under tools/wine-run (code page 932)";
    const test::TempFolder dir;
    const String folder = combinePath(dir.path(), L"\u66F2");
    CreateDirectoryW(folder.c_str(), nullptr);
    const auto touch = [&folder](const wchar_t* name) {
        const String path = combinePath(folder, name);
        std::ofstream(std::filesystem::path(path)) << "x";
        return path;
    };
    const String song = touch(L"\u66F2\u30C6\u30B9\u30C8.mp3");
    const String hangul = touch(L"\uD55C\uAD6D.mp3");
    const String plain = touch(L"plain.mp3");
    Playlist playlist;
    appendEntry(playlist, song, L"\u30E9\u30A4\u30D6\u7248");
    appendEntry(playlist, hangul, L"Korean");
    appendEntry(playlist, plain, {});

    test::TestWindow window;
    const String target = combinePath(folder, L"list.m3u");
    ASSERT_TRUE(
        writePlaylistTo(window.main(), target, playlist, folder, false, L"Song - Zav2", false, 42));
    const std::string bytes = readWholeFile(target, 1 << 20).value();
    EXPECT_EQ(bytes.compare(0, 9, "#EXTM3U\r\n"), 0);  // no byte order mark
    EXPECT_NE(bytes.find("#EXTINF:42,\x83\x89\x83\x43\x83\x75\x94\xC5\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\n.\\plain.mp3\r\n"), std::string::npos);  // relative to the folder

    Playlist back;
    int count = 0;
    readPlaylistFile(back, target, folder, 0, count, nullptr, false);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(back.entries[0].path, song);
    EXPECT_EQ(back.entries[0].title, L"\u30E9\u30A4\u30D6\u7248");
    // The Hangul name was written in its short form, which still finds the file.
    EXPECT_EQ(back.entries[1].title, L"Korean");
    EXPECT_NE(back.entries[1].path, hangul);
    EXPECT_TRUE(pathExists(back.entries[1].path));
    EXPECT_EQ(shortPathOf(back.entries[1].path), shortPathOf(hangul));
    EXPECT_EQ(back.entries[2].path, plain);
}

}  // namespace
}  // namespace zav2
