// The play list against a real list box: the bulk paths that refill the box
// instead of shifting it must keep the rows, the selection and the scroll
// position.
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

TEST(ListBoxWindow, RebuildShowsThrottledProgressAndRevealScrolls) {
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

    // Revealing a row below the view scrolls by the box's real height.
    revealCurrent(listBox, 20, false, false);
    EXPECT_EQ(listBox.topIndex(), 20 - TestWindow::kListHeight / TestWindow::kItemHeight + 1);
    EXPECT_EQ(listBox.selection(), std::vector<int>{20});
}

}  // namespace
}  // namespace zav2
