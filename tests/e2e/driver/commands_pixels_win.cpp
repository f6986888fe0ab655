// Subcommands that read from the screen what Wine gives no cross-process
// access to: the check marks of an open popup menu.
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

// The pixels of `rect` of the device context, read back through a bitmap.
Pixels capture(HDC source, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    Pixels pixels{width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
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

int distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
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
    // <pattern> [row height]: checked items (0-based) of the open popup menu,
    // whose items (i) and separators (-) the pattern lists; then closes it
    {L"menu-checks", 1, 2, menuChecks},
    // <id>|caption: post WM_CONTEXTMENU for a right-click
    {L"context-menu", 1, 1, contextMenu},
};

}  // namespace

constinit const std::span<const Subcommand> kPixelCommands = kTable;

}  // namespace zav2::driver
