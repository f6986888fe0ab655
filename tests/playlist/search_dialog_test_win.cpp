// The filter and jump dialogs: the real templates when the program's resources
// are linked in, run modally and answered from a timer as a user would.
#include <gtest/gtest.h>

#include <functional>

#include "playlist/playlist_win.h"
#include "test_window_win.h"

namespace zav2 {
namespace {

std::function<void(HWND)> answer;
HWND mainWindow = nullptr;
bool mainWasEnabled = true;

void CALLBACK answerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = GetLastActivePopup(mainWindow);
    if (!dialog || dialog == mainWindow)
        return;  // not up yet
    KillTimer(nullptr, timer);
    mainWasEnabled = IsWindowEnabled(mainWindow) != FALSE;
    answer(dialog);
}

bool run(int dialogId, String& expression, std::function<void(HWND)> user) {
    answer = std::move(user);
    SetTimer(nullptr, 0, 20, answerDialog);
    return runSearchDialog(GetModuleHandleW(nullptr), mainWindow, dialogId, expression);
}

class SearchDialog : public testing::Test {
  protected:
    void SetUp() override {
        if (!FindResourceW(nullptr, MAKEINTRESOURCEW(kFilterDialogId), MAKEINTRESOURCEW(5)))
            GTEST_SKIP() << "the program's dialog templates are not linked in";
        mainWindow = window_.main();
    }
    test::TestWindow window_;
};

// The dialog is modal and OK cuts a long text to what the program holds.
// (The filter dialog, and a cancel emptying the text, are checked end to end.)
TEST_F(SearchDialog, IsModalAndOkCutsALongText) {
    String expression = L"old";
    EXPECT_TRUE(run(kJumpDialogId, expression, [](HWND dialog) {
        SetDlgItemTextW(dialog, kSearchEditId, String(300, L'\u66F2').c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(expression, String(259, L'\u66F2'));
    EXPECT_FALSE(mainWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

TEST(SearchDialogMissing, LeavesTheMainWindowEnabled) {
    test::TestWindow window;
    String expression = L"old";
    EXPECT_FALSE(runSearchDialog(GetModuleHandleW(nullptr), window.main(), 9999, expression));
    EXPECT_TRUE(IsWindowEnabled(window.main()));
    EXPECT_EQ(expression, L"");
}

}  // namespace
}  // namespace zav2
