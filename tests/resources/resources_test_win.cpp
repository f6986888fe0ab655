// The compiled resources as the program uses them: what the code looks up by
// id must be there, the jump list's icon positions must hold, and the
// manifest must give the common controls 6 without switching the code page.
#include "resources/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zav2 {
namespace {

const HINSTANCE instance = GetModuleHandleW(nullptr);

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The dialogs' controls are found end to end: the main window's by e2e
// startup, the filter's by e2e commands (the jump dialog is the same
// template), the rename dialog's by e2e fileops. So are the menus shown from
// their one popup (settings_e2e.sh, commands.sh, big_list.sh), but the open
// button's.
TEST(ResourcesTest, TheOpenMenuHasItsPopup) {
    HMENU menu = LoadMenuW(instance, IDR_MENU_OPEN);
    ASSERT_TRUE(menu);
    HMENU shown = GetSubMenu(menu, 0);
    EXPECT_TRUE(shown && GetMenuItemCount(shown) > 0);
    DestroyMenu(menu);
}

BOOL CALLBACK collectIconId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    auto* ids = reinterpret_cast<std::vector<int>*>(found);
    ids->push_back(IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

// The jump list names icons by position in the module (103 is index 0, 5107
// index 19, 5110 index 22); buttons load them at 14 and 16 pixels.
TEST(ResourcesTest, IconsLoadAndKeepTheirJumpListPositions) {
    std::vector<int> found;
    EnumResourceNamesW(instance, RT_GROUP_ICON, collectIconId, reinterpret_cast<LONG_PTR>(&found));
    ASSERT_EQ(found.size(), 23u);
    EXPECT_EQ(found[0], IDI_APP);
    EXPECT_EQ(found[19], IDI_THUMB_STOP);
    EXPECT_EQ(found[22], IDI_THUMB_PLAY_PAUSE);
    for (int id : found) {
        for (int size : {14, 16}) {
            HICON icon = static_cast<HICON>(
                LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            EXPECT_TRUE(icon) << "icon " << id << " at " << size;
            DestroyIcon(icon);
        }
    }
}

BOOL CALLBACK collectChildRect(HWND child, LPARAM found) {
    RECT rect{};
    GetWindowRect(child, &rect);
    reinterpret_cast<std::vector<RECT>*>(found)->push_back(rect);
    return TRUE;
}

// The search dialogs' help lines wrap to a second row: none may reach under
// the edit control or the buttons.
TEST(ResourcesTest, SearchDialogControlsDoNotOverlap) {
    for (int id : {IDD_FILTER, IDD_JUMP}) {
        const HWND dialog =
            CreateDialogParamW(instance, MAKEINTRESOURCEW(id), nullptr, quietDialogProc, 0);
        ASSERT_TRUE(dialog);
        std::vector<RECT> controls;
        EnumChildWindows(dialog, collectChildRect, reinterpret_cast<LPARAM>(&controls));
        DestroyWindow(dialog);
        ASSERT_EQ(controls.size(), 6u);
        for (size_t a = 0; a < controls.size(); ++a) {
            for (size_t b = a + 1; b < controls.size(); ++b) {
                RECT both{};
                EXPECT_FALSE(IntersectRect(&both, &controls[a], &controls[b]))
                    << "dialog " << id << ": controls " << a << " and " << b << " overlap";
            }
        }
    }
}

TEST(ResourcesTest, ManifestAsksForCommonControls6AndPerMonitorDpiButNotUtf8) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(instance, found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, SizeofResource(instance, found));
    // The loader applied the DPI declaration: per monitor, version 2.
    EXPECT_TRUE(AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(),
                                             DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2));
    // The program reads and writes ANSI play lists in the system's code page.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);

    // The loader applied it: the trackbars of the main window come from the
    // side-by-side common controls 6, not from the system's comctl32 5.
    const HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, quietDialogProc, 0);
    ASSERT_TRUE(dialog);
    wchar_t controls[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    DestroyWindow(dialog);
    CharLowerW(controls);
    EXPECT_NE(std::wstring(controls).find(L"common-controls"), std::wstring::npos);
}

}  // namespace
}  // namespace zav2
