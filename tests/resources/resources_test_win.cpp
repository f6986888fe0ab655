// Checks the compiled resources through the Win32 calls the program makes with them:
// dialogs created from their templates, menus, icons at every size, version and manifest.
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zav2 {
namespace {

HINSTANCE module() {
    return GetModuleHandleW(nullptr);
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowOwner = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuOwner = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconOwner = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using BitmapOwner = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

std::wstring windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

bool sameTextIgnoringCase(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// ---------------------------------------------------------------------------
// Dialogs.

struct ControlSpec {
    int id;
    const wchar_t* windowClass;
    RECT units;           // x, y, width, height in dialog units
    const wchar_t* text;  // nullptr: not checked
    DWORD style;          // bits that must be set
};

struct DialogSpec {
    int id;
    const wchar_t* caption;
    SIZE units;
    std::vector<ControlSpec> controls;  // in creation (z) order
};

constexpr DWORD kIconButton = BS_ICON | BS_FLAT | BS_CENTER | BS_VCENTER;

const wchar_t kHelpAnd[] = L"・「A B」で、AとB両方含むものを絞り込む。";
const wchar_t kHelpNot[] = L"・「-A」で、Aを含むものは除外する。";
const wchar_t kHelpOr[] = L"・「OR A B」で、AもしくはBを含むものを絞り込む。";

std::vector<ControlSpec> searchControls() {
    return {
        {IDC_SEARCH_EDIT, L"Edit", {7, 7, 155, 14}, L"", ES_AUTOHSCROLL},
        {-1, L"Static", {7, 22, 155, 16}, kHelpAnd, 0},
        {-1, L"Static", {7, 38, 155, 8}, kHelpNot, 0},
        {-1, L"Static", {7, 46, 155, 16}, kHelpOr, 0},
        {IDOK, L"Button", {59, 61, 50, 14}, L"OK", BS_DEFPUSHBUTTON},
        {IDCANCEL, L"Button", {112, 61, 50, 14}, L"キャンセル", 0},
    };
}

std::vector<DialogSpec> dialogSpecs() {
    return {
        {IDD_MAIN,
         L"Zav2",
         {187, 178},
         {
             {IDC_OPEN_BUTTON, L"Button", {7, 7, 14, 14}, nullptr, kIconButton},
             {IDC_PLAY_BUTTON, L"Button", {22, 7, 14, 14}, nullptr, kIconButton},
             {IDC_STOP_BUTTON, L"Button", {37, 7, 14, 14}, nullptr, kIconButton},
             {IDC_PREVIOUS_BUTTON, L"Button", {52, 7, 14, 14}, nullptr, kIconButton},
             {IDC_NEXT_BUTTON, L"Button", {67, 7, 14, 14}, nullptr, kIconButton},
             {IDC_MODE_BUTTON, L"Button", {82, 7, 14, 14}, nullptr, kIconButton},
             {IDC_VOLUME_SLIDER,
              TRACKBAR_CLASSW,
              {100, 10, 55, 9},
              nullptr,
              TBS_TOOLTIPS | TBS_NOTICKS | TBS_BOTH},
             {IDC_SEEK_BAR, TRACKBAR_CLASSW, {7, 23, 91, 12}, nullptr, TBS_NOTICKS | TBS_BOTH},
             {IDC_LIST,
              L"ListBox",
              {7, 39, 173, 132},
              nullptr,
              LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                  LBS_EXTENDEDSEL},
             {IDC_TIME_DISPLAY,
              L"Static",
              {96, 24, 62, 8},
              L"00:00 / 00:00",
              SS_CENTER | SS_NOTIFY},
             {IDC_TOPMOST_BUTTON, L"Button", {166, 7, 14, 14}, nullptr, kIconButton},
             {IDC_TEXT_PANEL,
              L"Edit",
              {7, 38, 173, 133},
              nullptr,
              WS_VSCROLL | ES_MULTILINE | ES_READONLY},
             {IDC_LIST_BUTTON, L"Button", {166, 21, 14, 14}, nullptr, kIconButton},
             {IDC_VIDEO_HOST, L"Edit", {20, 73, 110, 55}, nullptr, ES_READONLY | ES_AUTOHSCROLL},
         }},
        {IDD_FILTER, L"Zav2絞り込み", {169, 82}, searchControls()},
        {IDD_JUMP, L"Zav2ジャンプ", {169, 82}, searchControls()},
        {IDD_RENAME,
         L"ファイル名",
         {159, 47},
         {
             {IDC_RENAME_EDIT, L"Edit", {7, 7, 145, 14}, L"", ES_AUTOHSCROLL},
             {IDOK, L"Button", {50, 26, 50, 14}, L"OK", BS_DEFPUSHBUTTON},
             {IDCANCEL, L"Button", {102, 26, 50, 14}, L"キャンセル", 0},
         }},
    };
}

WindowOwner createDialog(int id) {
    return WindowOwner(
        CreateDialogParamW(module(), MAKEINTRESOURCEW(id), nullptr, quietDialogProc, 0));
}

// Converts x, y, width and height each on its own, as the dialog manager places controls.
RECT toPixels(HWND dialog, RECT units) {
    RECT r = units;
    MapDialogRect(dialog, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

void expectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

// Nothing but the manifest prepares the common controls: the program never
// calls InitCommonControlsEx, so the trackbars must come from the manifest.
TEST(ResourcesTest, DialogsMatchTheirLayoutInCreationOrder) {
    for (const DialogSpec& spec : dialogSpecs()) {
        SCOPED_TRACE("dialog " + std::to_string(spec.id));
        WindowOwner dialog = createDialog(spec.id);
        ASSERT_TRUE(dialog) << GetLastError();
        EXPECT_EQ(windowText(dialog.get()), spec.caption);

        RECT client{};
        GetClientRect(dialog.get(), &client);
        expectRect(client, toPixels(dialog.get(), {0, 0, spec.units.cx, spec.units.cy}));

        HWND child = GetWindow(dialog.get(), GW_CHILD);
        for (const ControlSpec& control : spec.controls) {
            SCOPED_TRACE("control " + std::to_string(control.id));
            ASSERT_NE(child, nullptr) << "missing control";
            EXPECT_EQ(GetDlgCtrlID(child), control.id);
            EXPECT_TRUE(sameTextIgnoringCase(className(child), control.windowClass))
                << "class " << std::string(className(child).begin(), className(child).end());
            RECT place{};
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, dialog.get(), reinterpret_cast<POINT*>(&place), 2);
            expectRect(place, toPixels(dialog.get(), control.units));
            if (control.text) {
                EXPECT_EQ(windowText(child), control.text);
            }
            const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
            EXPECT_EQ(style & (control.style | WS_CHILD | WS_VISIBLE),
                      control.style | WS_CHILD | WS_VISIBLE);
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "unexpected extra control";
    }
}

TEST(ResourcesTest, MainWindowStylesSuitTheLayoutCode) {
    WindowOwner dialog = createDialog(IDD_MAIN);
    ASSERT_TRUE(dialog);
    HWND main = dialog.get();
    const DWORD style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    // Full screen adds WS_POPUP and normal mode removes it again; the maximise
    // box appears only after that round trip.
    EXPECT_EQ(style & (WS_POPUP | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE), 0u);

    // The display-mode code removes and restores the text panel's client edge.
    const auto panelExStyle = GetWindowLongW(GetDlgItem(main, IDC_TEXT_PANEL), GWL_EXSTYLE);
    EXPECT_TRUE(panelExStyle & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(main, IDC_VIDEO_HOST), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // The time read-out is reached by its id -1.
    EXPECT_EQ(windowText(GetDlgItem(main, IDC_TIME_DISPLAY)), L"00:00 / 00:00");
    // Icon buttons carry no tab stop: keys reach the accelerator table instead.
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(main, IDC_PLAY_BUTTON), GWL_STYLE) & WS_TABSTOP);
}

TEST(ResourcesTest, SmallDialogsDefaultToOk) {
    for (int id : {IDD_FILTER, IDD_JUMP, IDD_RENAME}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        WindowOwner dialog = createDialog(id);
        ASSERT_TRUE(dialog);
        const LRESULT defaultId = SendMessageW(dialog.get(), DM_GETDEFID, 0, 0);
        EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
        EXPECT_EQ(LOWORD(defaultId), IDOK);
    }
}

// ---------------------------------------------------------------------------
// Menus.

struct MenuItemSpec {
    UINT id;  // 0 with a null label: separator
    const wchar_t* label;
};
constexpr MenuItemSpec kSeparator{0, nullptr};

struct MenuSpec {
    const wchar_t* name;
    std::vector<MenuItemSpec> items;
};

std::vector<MenuSpec> menuSpecs() {
    return {
        {IDR_MENU_LIST,
         {{IDM_FILTER, L"絞り込み"},
          kSeparator,
          {IDM_SINGLE_CLICK_MODE, L"シングルクリックモード"},
          {IDM_HIDE_EXTENSION, L"拡張子を表示しない"},
          kSeparator,
          {IDM_REMOVE_FROM_LIST, L"リストから削除"},
          {IDM_SORT_LIST, L"リストをソート"},
          {IDM_SAVE_PLAYLIST, L"プレイリストに保存"},
          kSeparator,
          {IDM_COPY_FILES, L"コピー"},
          {IDM_MOVE_FILES, L"移動"},
          {IDM_DELETE_FILES, L"削除"},
          kSeparator,
          {IDM_LIST_PICTURE, L"内蔵画像を表示する"},
          {IDM_LIST_FONT, L"フォントを変更する"},
          kSeparator,
          {IDM_PROPERTIES, L"プロパティ"}}},
        {IDR_MENU_TEXT,
         {{IDM_TEXT_PICTURE, L"内蔵画像を表示する"},
          {IDM_SHOW_LYRICS, L"歌詞を表示する"},
          {IDM_CENTER_TEXT, L"中央寄せ"},
          kSeparator,
          {IDM_TEXT_FONT, L"フォントを変更する"},
          kSeparator,
          {IDM_CAPTURE_TO_FILE, L"キャプチャ（ファイル）"},
          {IDM_CAPTURE_TO_CLIPBOARD, L"キャプチャ（メモリ）"}}},
        {IDR_MENU_TITLE,
         {{IDM_MINIMIZE, L"最小化"},
          kSeparator,
          {IDM_IGNORE_ERROR, L"エラーで止めない"},
          {IDM_NO_DISPLAY_OFF, L"再生中は画面オフにしない"},
          {IDM_NO_STANDBY, L"再生中はスタンバイにしない"},
          {IDM_AFTER_ACTIVE, L"終了後、呼び出し元をアクティブにする"},
          kSeparator,
          {IDM_DARK_MODE, L"ダークモード"}}},
        {IDR_MENU_PLAY,
         {{IDM_MODE_ORDER, L"順次再生"},
          {IDM_MODE_RANDOM, L"ランダム再生"},
          {IDM_MODE_SINGLE, L"単曲再生"},
          {IDM_MODE_ONCE, L"一巡再生"}}},
        {IDR_MENU_OPEN,
         {{IDM_OPEN_FILE, L"ファイル"},
          {IDM_OPEN_FOLDER, L"フォルダ"},
          kSeparator,
          {IDM_SEARCH_SUBFOLDERS, L"サブフォルダも読み込む"}}},
        {IDR_MENU_MASTER, {{IDM_MASTER_VOLUME, L"マスターボリュームと連動する"}}},
    };
}

std::wstring menuLabel(HMENU menu, UINT position) {
    wchar_t label[128] = {};
    GetMenuStringW(menu, position, label, 128, MF_BYPOSITION);
    return label;
}

TEST(ResourcesTest, MenusHoldOnePopupWithTheirItemsInOrder) {
    for (const MenuSpec& spec : menuSpecs()) {
        const std::wstring name = spec.name;
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        MenuOwner menu(LoadMenuW(module(), spec.name));
        ASSERT_TRUE(menu) << GetLastError();
        ASSERT_EQ(GetMenuItemCount(menu.get()), 1);
        EXPECT_EQ(menuLabel(menu.get(), 0), L"DUMMY");
        HMENU shown = GetSubMenu(menu.get(), 0);
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(GetMenuItemCount(shown), static_cast<int>(spec.items.size()));
        for (UINT i = 0; i < spec.items.size(); ++i) {
            SCOPED_TRACE("item " + std::to_string(i));
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
            ASSERT_TRUE(GetMenuItemInfoW(shown, i, TRUE, &info));
            EXPECT_EQ(info.hSubMenu, nullptr);
            if (!spec.items[i].label) {
                EXPECT_TRUE(info.fType & MFT_SEPARATOR);
                continue;
            }
            EXPECT_FALSE(info.fType & MFT_SEPARATOR);
            // Check marks come from the settings; nothing is ever greyed.
            EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_GRAYED), 0u);
            EXPECT_EQ(info.wID, spec.items[i].id);
            EXPECT_EQ(menuLabel(shown, i), spec.items[i].label);
        }
    }
}

// ---------------------------------------------------------------------------
// Icons.

// Ascending, as the platform enumerates them: the jump list relies on the
// positions (103 is index 0, 5107 index 19, 5110 index 22).
const std::vector<int> kIconIds = {
    IDI_APP,         IDI_APP_SMALL,        IDI_PLAY,
    IDI_STOP,        IDI_PREVIOUS,         IDI_NEXT,
    IDI_OPEN,        IDI_TOPMOST_ON,       IDI_LIST_HIDDEN,
    IDI_LIST_FULL,   IDI_MODE_ORDER,       IDI_MODE_RANDOM,
    IDI_MODE_SINGLE, IDI_TOPMOST_OFF,      IDI_FILE,
    IDI_FOLDER,      IDI_MODE_ONCE,        IDI_LIST_LEFT,
    IDI_LIST_RIGHT,  IDI_THUMB_STOP,       IDI_THUMB_PREVIOUS,
    IDI_THUMB_NEXT,  IDI_THUMB_PLAY_PAUSE,
};

BOOL CALLBACK collectIconId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    auto* ids = reinterpret_cast<std::vector<int>*>(found);
    ids->push_back(IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

TEST(ResourcesTest, GroupIconsEnumerateInJumpListOrder) {
    std::vector<int> found;
    EnumResourceNamesW(module(), RT_GROUP_ICON, collectIconId, reinterpret_cast<LONG_PTR>(&found));
    ASSERT_EQ(found, kIconIds);
    EXPECT_EQ(found[19], IDI_THUMB_STOP);
    EXPECT_EQ(found[22], IDI_THUMB_PLAY_PAUSE);
}

// The bit depths of the images a group icon directory lists, by square size.
std::vector<std::pair<int, int>> iconDirectory(int id) {
    std::vector<std::pair<int, int>> images;
    HRSRC found = FindResourceW(module(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    if (!found) {
        return images;
    }
    const DWORD size = SizeofResource(module(), found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module(), found)));
    if (!bytes || size < 6) {
        return images;
    }
    const unsigned count = bytes[4] | (bytes[5] << 8);
    for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= size; ++i) {
        const BYTE* entry = bytes + 6 + 14 * i;
        const int width = entry[0] ? entry[0] : 256;
        const int height = entry[1] ? entry[1] : 256;
        const int bits = entry[6] | (entry[7] << 8);
        images.emplace_back(width == height ? width : -1, bits);
    }
    return images;
}

// Counts opaque and transparent pixels of an icon's colour image.
std::pair<int, int> opaqueAndClear(HICON icon, int size) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    BitmapOwner color(info.hbmColor);
    BitmapOwner mask(info.hbmMask);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(size) * size);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, color.get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size) {
        return {0, 0};
    }
    int opaque = 0;
    int clear = 0;
    for (DWORD pixel : pixels) {
        const DWORD alpha = pixel >> 24;
        opaque += alpha == 255;
        clear += alpha == 0;
    }
    return {opaque, clear};
}

TEST(ResourcesTest, EveryIconHasDrawnImagesAtEachButtonAndMenuSize) {
    for (int id : kIconIds) {
        SCOPED_TRACE("icon " + std::to_string(id));
        const auto images = iconDirectory(id);
        for (int size : {14, 16, 32}) {
            SCOPED_TRACE("size " + std::to_string(size));
            // Its own image, not one scaled from another size.
            EXPECT_NE(std::find(images.begin(), images.end(), std::make_pair(size, 32)),
                      images.end());
            IconOwner icon(static_cast<HICON>(
                LoadImageW(module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
            ASSERT_TRUE(icon);
            const auto [opaque, clear] = opaqueAndClear(icon.get(), size);
            EXPECT_GT(opaque, size) << "glyph missing";
            EXPECT_GT(clear, 0) << "no transparent background";
        }
    }
}

// ---------------------------------------------------------------------------
// Version information and manifest.

std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + key;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) {
        return L"<missing>";
    }
    return static_cast<const wchar_t*>(value);
}

TEST(ResourcesTest, VersionInformationNamesTheProgramInJapanese) {
    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    const DWORD size = GetFileVersionInfoSizeW(exe, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(versionString(block, L"ProductName"), L"Zav2");
    EXPECT_EQ(versionString(block, L"OriginalFilename"), L"Zav2.exe");
    EXPECT_EQ(versionString(block, L"FileDescription"), L"Zav2 メディアプレーヤー");
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(versionString(block, L"FileVersion"), numbers);
}

TEST(ResourcesTest, ManifestAsksForCommonControls6AndSystemDpiButNotUtf8) {
    HRSRC found = FindResourceW(module(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module(), found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, SizeofResource(module(), found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    // The program reads and writes ANSI play lists in the system's code page.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);

    // The loader applied it: the trackbars of the main window come from the
    // side-by-side common controls 6, not from the system's comctl32 5.
    WindowOwner dialog = createDialog(IDD_MAIN);
    ASSERT_TRUE(dialog);
    wchar_t controls[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    CharLowerW(controls);
    EXPECT_NE(std::wstring(controls).find(L"common-controls"), std::wstring::npos);
}

}  // namespace
}  // namespace zav2
