// The play list against a real list box: the rows must follow every operation,
// including the bulk paths that refill the box instead of shifting it.
#include <gtest/gtest.h>

#include "playlist/caption_progress.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_win.h"
#include "playlist_test_util.h"
#include "test_window_win.h"

namespace zav2 {
namespace {

using test::expectAligned;
using test::TestWindow;

std::vector<String> numbered(int count, const wchar_t* prefix = L"t") {
    std::vector<String> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + std::to_wstring(i) + L".mp3");
    return names;
}

TEST(ListBoxWindow, RowsFollowEveryOperation) {
    TestWindow window;
    ListBoxWindow listBox(window.listBox());
    WindowCaption caption(window.main());
    Playlist playlist = test::makePlaylist(numbered(30), 10);
    rebuildListBox(caption, listBox, playlist, true);
    expectAligned(playlist, listBox, true);

    listBox.clearSelection();
    for (int row : {0, 5, 6, 7, 10, 29})
        listBox.setSelected(row, true);
    EXPECT_TRUE(removeSelected(caption, listBox, playlist, {}));
    EXPECT_EQ(playlist.current, 6);  // t11, which followed t10
    expectAligned(playlist, listBox, true);

    listBox.clearSelection();
    listBox.selectRange(2, 4);
    moveSelectedDown(listBox, playlist);
    EXPECT_EQ(listBox.selection(), (std::vector<int>{3, 4, 5}));
    moveSelectedUp(listBox, playlist);
    moveSelectedUp(listBox, playlist);
    EXPECT_EQ(listBox.selection(), (std::vector<int>{1, 2, 3}));
    expectAligned(playlist, listBox, true);

    insertEntry(playlist, listBox, 3, L"D:\\m\\new.mp3", L"New", true);
    EXPECT_EQ(listBox.text(3), L"New");
    expectAligned(playlist, listBox, true);

    listBox.setTopIndex(0);
    revealCurrent(listBox, 20, false, false);  // below the ten visible rows
    EXPECT_EQ(listBox.topIndex(), 20 - listBox.visibleRows() + 1);
    EXPECT_EQ(listBox.selection(), std::vector<int>{20});

    selectAll(listBox);
    EXPECT_EQ(listBox.selection().size(), playlist.entries.size());
    removeSelected(caption, listBox, playlist, {});
    expectAligned(playlist, listBox, true);
    EXPECT_EQ(caption.text(), L"Zav2");
}

TEST(ListBoxWindow, BulkRefillsKeepSelectionAndScrollPosition) {
    TestWindow window;
    ListBoxWindow listBox(window.listBox());
    WindowCaption caption(window.main());
    Playlist playlist = test::makePlaylist(numbered(3000), 2999);
    rebuildListBox(caption, listBox, playlist, false);
    listBox.setTopIndex(2000);
    listBox.clearSelection();
    listBox.setSelected(2500, true);
    // Keeps t25xx and t2 ... : removes most rows, which refills the box.
    EXPECT_FALSE(filterPlaylist(playlist, listBox, L"OR t25 t299"));
    expectAligned(playlist, listBox);
    const int row = findByPath(playlist, L"D:\\m\\t2500.mp3");
    EXPECT_EQ(listBox.selection(), std::vector<int>{row});
    EXPECT_EQ(playlist.entries[playlist.current].path, L"D:\\m\\t2999.mp3");

    // Many rows inserted before the others: refilled as well.
    std::vector<String> many = numbered(7000, L"n");
    listBox.setTopIndex(5);
    const int topBefore = listBox.topIndex();
    ListBoxMirror& mirror = listBox;
    std::vector<PlaylistEntry> added;
    for (const String& name : many)
        added.push_back({L"D:\\n\\" + name, {}, 0});
    playlist.entries.insert(playlist.entries.begin(), added.begin(), added.end());
    mirror.insertMany(0, many);
    playlist.current += 7000;
    expectAligned(playlist, listBox);
    EXPECT_EQ(listBox.selection(), std::vector<int>{row + 7000});
    EXPECT_EQ(listBox.topIndex(), topBefore + 7000);
}

TEST(ListBoxWindow, RebuildShowsThrottledProgressAndRestoresTheCaption) {
    TestWindow window;
    ListBoxWindow listBox(window.listBox());
    WindowCaption caption(window.main());
    SetWindowTextW(window.main(), L"Song - Zav2");
    window.takeCaptions();
    listBox.insert(0, L"stale");  // a rebuild replaces what the box held
    Playlist playlist = test::makePlaylist(numbered(1000));
    rebuildListBox(caption, listBox, playlist, false);
    const std::vector<String> captions = window.takeCaptions();
    ASSERT_GE(captions.size(), 3u);
    EXPECT_LE(captions.size(), 23u);
    EXPECT_EQ(captions.front(), progressText(kRebuildingCaption, 1, 1000));
    EXPECT_EQ(captions[captions.size() - 2], progressText(kRebuildingCaption, 1000, 1000));
    EXPECT_EQ(captions.back(), L"Song - Zav2");
    EXPECT_EQ(caption.text(), L"Song - Zav2");
    expectAligned(playlist, listBox);
}

}  // namespace
}  // namespace zav2
