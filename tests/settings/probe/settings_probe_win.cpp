// zav2-settings-probe: reads from outside what loaded settings show in a
// running Zav2.exe where Wine offers no cross-process access (icons, menus):
// by what is drawn.
//
//   style <id>                      the control's window style (0: the main window), hex
//   context-menu <id>|caption       right-click on a control or on the caption
//   button-icon <id> <exe> <icon>…  which of the icons of <exe> the button shows
//   menu-checks <pattern> [row-height]
//                                   the open popup menu's checked items (0-based,
//                                   items only), then closes it. The pattern lists
//                                   items (i) and separators (-) from the top; with
//                                   separators the item height must be given (a
//                                   menu without them prints its own).
// Options: --name <instance> (default Zav2.exe). Exit 0 on success, 1 on failure.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring instanceName = L"Zav2.exe";

HWND findInstance() {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (GetPropW(window, instanceName.c_str()) == reinterpret_cast<HANDLE>(1)) {
                reinterpret_cast<Search*>(data)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND control(HWND main, int id) {
    return id == 0 ? main : GetDlgItem(main, id);
}

// The screen inside `rect` as 32-bit pixels, top-down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;  // 0x00BBGGRR as GetPixel would give
    COLORREF at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels capture(HDC source, int x, int y, int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* raw = static_cast<const uint32_t*>(bits);
    pixels.data.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.data.size(); ++i) {
        const uint32_t p = raw[i];  // BGRA in memory: 0xAARRGGBB
        pixels.data[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

Pixels captureScreen(const RECT& rect) {
    HDC screen = GetDC(nullptr);
    Pixels pixels =
        capture(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// A 14 x 14 icon of the module drawn on the button face colour, as a flat
// icon button draws it.
Pixels renderIcon(HMODULE module, int id) {
    const int size = 14;
    HICON icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_LOADTRANSPARENT));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (icon)
        DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    Pixels pixels = capture(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (icon)
        DestroyIcon(icon);
    if (!icon)
        pixels.width = 0;
    return pixels;
}

// Smallest difference of the icon placed anywhere inside the button.
long long bestMatch(const Pixels& button, const Pixels& icon) {
    long long best = -1;
    for (int oy = 0; oy + icon.height <= button.height; ++oy) {
        for (int ox = 0; ox + icon.width <= button.width; ++ox) {
            long long sum = 0;
            for (int y = 0; y < icon.height; ++y)
                for (int x = 0; x < icon.width; ++x)
                    sum += distance(button.at(ox + x, oy + y), icon.at(x, y));
            if (best < 0 || sum < best)
                best = sum;
        }
    }
    return best;
}

int buttonIcon(HWND main, const std::vector<std::wstring>& args) {
    if (args.size() < 3)
        return 2;
    HWND button = control(main, _wtoi(args[0].c_str()));
    HMODULE module = LoadLibraryExW(args[1].c_str(), nullptr,
                                    LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (!button || !module) {
        std::fprintf(stderr, "no button or no module\n");
        return 1;
    }
    RECT rect{};
    GetWindowRect(button, &rect);
    const Pixels shown = captureScreen(rect);
    long long bestScore = -1;
    std::wstring bestId;
    for (size_t i = 2; i < args.size(); ++i) {
        const Pixels icon = renderIcon(module, _wtoi(args[i].c_str()));
        if (icon.width == 0)
            continue;
        const long long score = bestMatch(shown, icon);
        if (score >= 0 && (bestScore < 0 || score < bestScore)) {
            bestScore = score;
            bestId = args[i];
        }
    }
    FreeLibrary(module);
    if (bestId.empty())
        return 1;
    std::printf("%ls\n", bestId.c_str());
    return 0;
}

HWND waitForMenu() {
    for (int i = 0; i < 100; ++i) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu))
            return menu;
        Sleep(50);
    }
    return nullptr;
}

int menuChecks(const std::vector<std::wstring>& args) {
    if (args.empty())
        return 2;
    HWND menu = waitForMenu();
    if (!menu) {
        std::fprintf(stderr, "no popup menu\n");
        return 1;
    }
    Sleep(200);  // let it paint
    RECT client{};
    GetClientRect(menu, &client);
    // From the window itself: on the virtual display a popup menu is not
    // composed onto the screen.
    HDC dc = GetDC(menu);
    const Pixels pixels = capture(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(menu, dc);

    const std::wstring& pattern = args[0];
    int items = 0, separators = 0;
    for (wchar_t c : pattern)
        (c == L'-' ? separators : items)++;
    int itemHeight = separators == 0 ? pixels.height / items : 0;
    if (args.size() > 1)
        itemHeight = _wtoi(args[1].c_str());
    if (itemHeight <= 0)
        return 2;
    const int separatorHeight =
        separators == 0 ? 0 : (pixels.height - items * itemHeight) / separators;

    // The check mark sits in the left margin of its item, inside the frame
    // line the menu draws along its edge.
    const int frame = 2;
    const int column = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const COLORREF background = GetSysColor(COLOR_MENU);
    std::printf("row-height %d\nchecked", itemHeight);
    int top = 0, item = 0;
    for (wchar_t c : pattern) {
        const int height = c == L'-' ? separatorHeight : itemHeight;
        if (c != L'-') {
            int ink = 0;
            for (int y = top + frame; y < top + height - frame && y < pixels.height; ++y)
                for (int x = frame; x < column && x < pixels.width; ++x)
                    ink += distance(pixels.at(x, y), background) > 96;
            if (ink >= 4)
                std::printf(" %d", item);
            ++item;
        }
        top += height;
    }
    std::printf("\n");
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 60 && IsWindowVisible(menu); ++i)
        Sleep(50);
    return 0;
}

int contextMenu(HWND main, const std::wstring& what) {
    RECT window{};
    GetWindowRect(main, &window);
    POINT point{};
    HWND clicked = main;
    if (what == L"caption") {
        POINT clientTop{0, 0};
        ClientToScreen(main, &clientTop);
        point = {(window.left + window.right) / 2, (window.top + clientTop.y) / 2};
    } else {
        clicked = control(main, _wtoi(what.c_str()));
        RECT rect{};
        GetWindowRect(clicked, &rect);
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    const LPARAM at = MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y));
    return PostMessageW(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(clicked), at) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--name" && i + 1 < argc)
            instanceName = argv[++i];
        else
            args.emplace_back(argv[i]);
    }
    if (args.empty())
        return 2;
    const std::wstring command = args[0];
    args.erase(args.begin());
    if (command == L"menu-checks")
        return menuChecks(args);
    HWND main = findInstance();
    if (!main) {
        std::fprintf(stderr, "no instance %ls\n", instanceName.c_str());
        return 1;
    }
    if (command == L"style" && args.size() == 1) {
        std::printf("%llx\n", static_cast<unsigned long long>(GetWindowLongPtrW(
                                  control(main, _wtoi(args[0].c_str())), GWL_STYLE)));
        return 0;
    }
    if (command == L"context-menu" && args.size() == 1)
        return contextMenu(main, args[0]);
    if (command == L"button-icon")
        return buttonIcon(main, args);
    return 2;
}
