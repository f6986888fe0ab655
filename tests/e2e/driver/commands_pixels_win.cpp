// Subcommands that read from the screen what Wine gives no cross-process
// access to: the icon a button shows, the check marks of an open popup menu.
#include "driver.h"

#include <cstdint>
#include <cstdlib>

namespace zav2::driver {
namespace {

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

int screenButtonIcon(Context& context) {
    auto id = integerArgument(context, 0);
    HWND button = id ? requireControl(context, static_cast<int>(*id)) : nullptr;
    HMODULE module = LoadLibraryExW(context.positional(1).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (!button || !module) {
        printError(ZT("no button or no module"));
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(button, &rect);
    const Pixels shown = captureScreen(rect);
    long long bestScore = -1;
    String bestId;
    for (size_t i = 2; i < context.arguments.positional.size(); ++i) {
        const Pixels icon = renderIcon(module, _wtoi(context.positional(i).c_str()));
        const long long score = icon.width == 0 ? -1 : bestMatch(shown, icon);
        if (score >= 0 && (bestScore < 0 || score < bestScore)) {
            bestScore = score;
            bestId = context.positional(i);
        }
    }
    FreeLibrary(module);
    if (bestId.empty())
        return kFailed;
    print(bestId);
    return kOk;
}

int menuChecks(Context& context) {
    HWND menu = waitForPopupMenu(context.timeoutMs);
    if (!menu) {
        return kFailed;
    }
    Sleep(200);  // let it paint
    RECT client{};
    GetClientRect(menu, &client);
    // From the window itself: on the virtual display a popup menu is not
    // composed onto the screen.
    HDC dc = GetDC(menu);
    const Pixels pixels = capture(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(menu, dc);

    const String& pattern = context.positional(0);
    int items = 0, separators = 0;
    for (wchar_t c : pattern)
        (c == L'-' ? separators : items)++;
    int itemHeight = separators == 0 && items > 0 ? pixels.height / items : 0;
    if (context.arguments.positional.size() > 1)
        itemHeight = _wtoi(context.positional(1).c_str());
    if (itemHeight <= 0)
        return kUsage;
    const int separatorHeight =
        separators == 0 ? 0 : (pixels.height - items * itemHeight) / separators;

    // The check mark sits in the left margin of its item, inside the frame
    // line the menu draws along its edge.
    const int frame = 2;
    const int column = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const COLORREF background = GetSysColor(COLOR_MENU);
    print(ZT("row-height ") + number(itemHeight));
    String checked = ZT("checked");
    int top = 0, item = 0;
    for (wchar_t c : pattern) {
        const int height = c == L'-' ? separatorHeight : itemHeight;
        if (c != L'-') {
            int ink = 0;
            for (int y = top + frame; y < top + height - frame && y < pixels.height; ++y)
                for (int x = frame; x < column && x < pixels.width; ++x)
                    ink += distance(pixels.at(x, y), background) > 96;
            if (ink >= 4)
                checked += ZT(" ") + number(item);
            ++item;
        }
        top += height;
    }
    print(checked);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    waitFor(3000, [&] { return !IsWindowVisible(menu); });
    return kOk;
}

int contextMenu(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance)
        return kFailed;
    RECT window{};
    GetWindowRect(instance, &window);
    POINT point{};
    HWND clicked = instance;
    if (context.positional(0) == ZT("caption")) {
        POINT clientTop{0, 0};
        ClientToScreen(instance, &clientTop);
        point = {(window.left + window.right) / 2, (window.top + clientTop.y) / 2};
    } else {
        auto id = integerArgument(context, 0);
        clicked = id ? requireControl(context, static_cast<int>(*id)) : nullptr;
        if (!clicked)
            return kFailed;
        RECT rect{};
        GetWindowRect(clicked, &rect);
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    const LPARAM at = MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y));
    return PostMessageW(instance, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(clicked), at) ? kOk
                                                                                         : kFailed;
}

constexpr Subcommand kTable[] = {
    {L"button-icon", 3, 99, screenButtonIcon,
     L"<id> <exe> <icon id>...: which of the exe's icons the button shows on screen"},
    {L"menu-checks", 1, 2, menuChecks,
     L"<pattern> [row height]: checked items (0-based) of the open popup menu, whose items "
     L"(i) and separators (-) the pattern lists; then closes it"},
    {L"context-menu", 1, 1, contextMenu, L"<id>|caption: post WM_CONTEXTMENU for a right-click"},
};

}  // namespace

constinit const std::span<const Subcommand> kPixelCommands = kTable;

}  // namespace zav2::driver
