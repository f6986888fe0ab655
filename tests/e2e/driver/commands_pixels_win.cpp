// Subcommands that read from the screen what Wine gives no cross-process
// access to: the icon a button shows, the check marks of an open popup menu.
#include "driver.h"

#include <cstdint>
#include <cstdlib>

namespace zav2::driver {
namespace {

// A bitmap as 32-bit pixels, top-down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;  // 0x00BBGGRR as GetPixel would give
    COLORREF at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

// What `paint` draws on a width x height bitmap, read back.
Pixels draw(int width, int height, const std::function<void(HDC)>& paint) {
    Pixels pixels{width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory);
    GdiFlush();
    for (size_t i = 0; i < pixels.data.size(); ++i) {
        const uint32_t p = static_cast<const uint32_t*>(bits)[i];  // 0xAARRGGBB
        pixels.data[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

Pixels capture(HDC source, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    return draw(width, height, [&](HDC memory) {
        BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    });
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
    if (!icon)
        return {};
    Pixels pixels = draw(size, size, [&](HDC memory) {
        RECT all{0, 0, size, size};
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
        DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    });
    DestroyIcon(icon);
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
    HWND button = controlArgument(context);
    HMODULE module = LoadLibraryExW(context.positional(1).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (!button || !module) {
        printError(ZT("no button or no module"));
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(button, &rect);
    HDC screen = GetDC(nullptr);
    const Pixels shown = capture(screen, rect);
    ReleaseDC(nullptr, screen);
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
    // Its items cannot be read from another process under Wine (menu handles
    // are the owner's).
    HWND menu = waitForWindow(context.timeoutMs, [](HWND window) {
        return IsWindowVisible(window) && windowClass(window) == ZT("#32768");
    });
    if (!menu) {
        printError(ZT("no popup menu shows"));
        return kFailed;
    }
    Sleep(200);  // let it paint
    RECT client{};
    GetClientRect(menu, &client);
    // From the window itself: on the virtual display a popup menu is not
    // composed onto the screen.
    HDC dc = GetDC(menu);
    const Pixels pixels = capture(dc, client);
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
        clicked = controlArgument(context);
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
