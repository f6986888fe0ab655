// The play list's Windows side against real controls: a list box refilled in
// bulk, lists written in the real code page (932 under tools/wine-run), and
// the filter and jump dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "platform/path.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_win.h"
#include "playlist_test_util.h"

namespace zav2 {
namespace {

using test::expectAligned;

constexpr int kItemHeight = 16;
constexpr int kListHeight = 160;  // ten whole rows

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window with the play list's list box, as the main dialog makes
// it.
class TestWindow {
  public:
    TestWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = testWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Zav2PlaylistTestWindow";
        RegisterClassW(&windowClass);  // fails harmlessly when already registered
        main_ =
            CreateWindowExW(0, windowClass.lpszClassName, L"Zav2", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            0, 0, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
        listBox_ =
            CreateWindowExW(0, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                            0, 0, 200, kListHeight, main_, reinterpret_cast<HMENU>(1001),
                            windowClass.hInstance, nullptr);
        pumpMessages();
    }
    ~TestWindow() {
        DestroyWindow(main_);
        pumpMessages();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND main() const { return main_; }
    HWND listBox() const { return listBox_; }

  private:
    static void pumpMessages() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    HWND main_ = nullptr;
    HWND listBox_ = nullptr;
};

std::vector<String> numbered(int count, const wchar_t* prefix = L"t") {
    std::vector<String> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + std::to_wstring(i) + L".mp3");
    return names;
}

// The list box as the play list keeps it, with its window's caption.
class ListBoxWindowTest : public ::testing::Test {
  protected:
    TestWindow window;
    std::vector<String> rows;
    ListBoxWindow listBox{window.listBox(), rows};
    WindowCaption caption{window.main()};
};

// Where the user is survives every refill: after one, Shift+Down extended
// from row 0 and a .zav drop lost the selection and the scroll position.
TEST_F(ListBoxWindowTest, BulkRefillsKeepTheUsersPlace) {
    Playlist playlist = test::makePlaylist(numbered(3000), 2999);
    rebuildListBox(caption, listBox, playlist, false);
    listBox.setTopIndex(2000);
    listBox.clearSelection();
    listBox.setSelected(2500, true);
    listBox.setCaret(2500);
    listBox.setAnchor(2500);
    // Keeps t25xx and t2 ... : removes most rows, which refills the box.
    EXPECT_FALSE(filterPlaylist(playlist, listBox, L"OR t25 t299"));
    expectAligned(playlist, listBox);
    const int row = findByPath(playlist, L"D:\\m\\t2500.mp3");
    EXPECT_EQ(listBox.selection(), std::vector<int>{row});
    EXPECT_EQ(listBox.caret(), row);
    EXPECT_EQ(listBox.anchor(), row);
    EXPECT_EQ(playlist.entries[playlist.current].path, L"D:\\m\\t2999.mp3");

    // Many rows inserted before the others: refilled as well.
    std::vector<String> many = numbered(7000, L"n");
    listBox.setTopIndex(5);
    const int topBefore = listBox.topIndex();
    ListBoxMirror& mirror = listBox;
    const Playlist added = test::makePlaylist(many, 0, L"D:\\n\\");
    playlist.entries.insert(playlist.entries.begin(), added.entries.begin(), added.entries.end());
    mirror.insertMany(0, many);
    playlist.current += 7000;
    expectAligned(playlist, listBox);
    EXPECT_EQ(listBox.selection(), std::vector<int>{row + 7000});
    EXPECT_EQ(listBox.topIndex(), topBefore + 7000);
    EXPECT_EQ(listBox.caret(), row + 7000);
    EXPECT_EQ(listBox.anchor(), row + 7000);

    // Every row anew (a sort, the titles put on the rows): the same rows.
    const ListViewPlace before = viewPlace(listBox);
    rebuildListBox(caption, listBox, playlist, false);
    const ListViewPlace after = viewPlace(listBox);
    EXPECT_EQ(after.selected, before.selected);
    EXPECT_EQ(std::vector<int>({after.top, after.caret, after.anchor}),
              std::vector<int>({before.top, before.caret, before.anchor}));

    // Revealing a row below the view scrolls by the box's real height.
    revealCurrent(listBox, after.top + 20, false, false);
    EXPECT_EQ(listBox.topIndex(), after.top + 20 - kListHeight / kItemHeight + 1);
}

// Rows before the first removed one once came out empty: each long text was
// moved onto itself.
TEST_F(ListBoxWindowTest, ScatteredRemovalsKeepEveryOtherRowsText) {
    Playlist playlist = test::makePlaylist(numbered(6, L"a row name longer than short "), 0);
    rebuildListBox(caption, listBox, playlist, false);
    listBox.clearSelection();
    listBox.setSelected(2, true);
    listBox.setSelected(4, true);
    EXPECT_FALSE(removeSelected(caption, listBox, playlist, {}));  // the current stays
    expectAligned(playlist, listBox);
    EXPECT_EQ(listBox.text(0), L"a row name longer than short 0.mp3");
}

// A list in the ANSI code page, in a folder with a Japanese name; short names
// keep the entries the page cannot spell findable.
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
    playlist.current = 0;

    TestWindow window;
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

// The filter and jump dialogs run modally from the real templates when the
// program's resources are linked in, answered from a timer as a user would.
HWND mainWindow = nullptr;
bool mainWasEnabled = true;

// Types a text longer than the program holds, then OK.
void CALLBACK answerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = GetLastActivePopup(mainWindow);
    if (!dialog || dialog == mainWindow)
        return;  // not up yet
    KillTimer(nullptr, timer);
    mainWasEnabled = IsWindowEnabled(mainWindow) != FALSE;
    SetDlgItemTextW(dialog, kSearchEditId, String(300, L'\u66F2').c_str());
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// A missing template leaves the main window enabled and the text empty. (The
// filter dialog, and a cancel emptying the text, are checked end to end.)
TEST(SearchDialog, IsModalAndCutsALongTextAndAMissingOneFreesTheWindow) {
    TestWindow window;
    mainWindow = window.main();
    String expression = L"old";
    EXPECT_FALSE(runSearchDialog(GetModuleHandleW(nullptr), mainWindow, 9999, expression));
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
    EXPECT_EQ(expression, L"");
    if (!FindResourceW(nullptr, MAKEINTRESOURCEW(kFilterDialogId), MAKEINTRESOURCEW(5)))
        GTEST_SKIP() << "the program's dialog templates are not linked in";
    SetTimer(nullptr, 0, 20, answerDialog);
    EXPECT_TRUE(runSearchDialog(GetModuleHandleW(nullptr), mainWindow, kJumpDialogId, expression));
    EXPECT_EQ(expression, String(259, L'\u66F2'));
    EXPECT_FALSE(mainWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

}  // namespace
}  // namespace zav2
