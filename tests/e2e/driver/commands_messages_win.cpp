// Subcommands that send or post messages to the instance or one of its
// controls (--control id).
#include <cwctype>
#include <optional>

#include "driver.h"

namespace zav2::driver {
namespace {

int posted(BOOL ok) {
    if (!ok) {
        printError(ZT("PostMessage failed"));
        return kFailed;
    }
    return kOk;
}

// Any message to the instance or to --control; sent (printing the answer)
// or posted.
int message(Context& context, bool post) {
    const String& name = context.positional(0);
    auto message = parseMessage(name);
    // A plain word names a registered message, as "TaskbarButtonCreated"
    // (0 there is a failure; given as a number it is WM_NULL).
    if (!message && std::iswalpha(name[0]) && name.find_first_of(ZT("_+")) == String::npos) {
        message = RegisterWindowMessageW(name.c_str());
        if (!*message)
            message.reset();
    }
    if (!message) {
        printError(ZT("not a message: ") + name);
        return kUsage;
    }
    auto wParam = integerArgument(context, 1);
    auto lParam = integerArgument(context, 2);
    if (!wParam || !lParam)
        return kUsage;
    HWND target = targetWindow(context);
    if (!target)
        return kFailed;
    if (post)
        return posted(PostMessageW(target, *message, static_cast<WPARAM>(*wParam),
                                   static_cast<LPARAM>(*lParam)));
    auto result = sendBounded(target, *message, static_cast<WPARAM>(*wParam),
                              static_cast<LPARAM>(*lParam), context.timeoutMs);
    if (!result)
        return kFailed;
    print(number(*result));
    return kOk;
}

// WM_DPICHANGED as the system sends it: the RECT it points at has to be in the
// instance's memory, so it is written there first.
int dpiChanged(Context& context) {
    std::optional<long long> values[5];
    for (int i = 0; i < 5; ++i) {
        values[i] = integerArgument(context, i);
        if (!values[i])
            return kUsage;
    }
    HWND instance = requireInstance(context);
    if (!instance)
        return kFailed;
    const auto x = static_cast<LONG>(*values[1]);
    const auto y = static_cast<LONG>(*values[2]);
    const RECT rect{x, y, x + static_cast<LONG>(*values[3]), y + static_cast<LONG>(*values[4])};
    RemoteMemory memory(instance, sizeof rect);
    if (!memory.write(0, &rect, sizeof rect)) {
        printError(ZT("cannot write the rectangle into the instance"));
        return kFailed;
    }
    const auto dpi = static_cast<WPARAM>(*values[0]);
    return sendBounded(instance, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(memory.address()), context.timeoutMs)
               ? kOk
               : kFailed;
}

int closeInstance(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance || posted(PostMessageW(instance, WM_CLOSE, 0, 0)) != kOk)
        return kFailed;
    if (!waitFor(context.timeoutMs, [&] { return !IsWindow(instance); })) {
        printError(ZT("the window is still open after WM_CLOSE"));
        return kFailed;
    }
    return kOk;
}

int postKey(Context& context) {
    auto key = keyArgument(context, 0);
    if (!key)
        return kUsage;
    HWND target = targetWindow(context);
    if (!target)
        return kFailed;
    // Posted, so the program's message loop (and its accelerator table) sees
    // the key as if typed into that window. Modifier state cannot be posted:
    // Ctrl and Shift combinations need real key events (xdotool).
    const LPARAM scan =
        static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(*key), MAPVK_VK_TO_VSC)) << 16;
    const LPARAM up = (1LL << 30) | (1LL << 31);
    return posted(PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(*key), 1 | scan) &&
                  PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(*key), 1 | scan | up));
}

int sendCopyData(Context& context) {
    // The text in the ANSI code page, as a second start forwards it; the
    // options shape hostile payloads: no terminator, or any byte count
    // (padded with 'X' or cut).
    std::string bytes = utf16ToAnsi(context.positional(0));
    if (!context.arguments.flag(ZT("no-terminator")))
        bytes.push_back('\0');
    if (auto size = context.arguments.option(ZT("size"))) {
        auto parsed = parseInteger(*size);
        if (!parsed || *parsed < 0 || *parsed > 1 << 20) {
            printError(ZT("--size takes a byte count up to 1 MiB"));
            return kUsage;
        }
        bytes.resize(static_cast<size_t>(*parsed), 'X');
    }
    HWND instance = requireInstance(context);
    if (!instance)
        return kFailed;
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : bytes.data();
    auto result =
        sendBounded(instance, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), context.timeoutMs);
    if (!result)
        return kFailed;
    print(number(*result));
    return kOk;
}

int dropFile(Context& context) {
    HWND target = targetWindow(context);
    if (!target)
        return kFailed;
    // DROPFILES with one wide path, at the middle of the target's client area.
    const String& path = context.positional(0);
    RECT client{};
    GetClientRect(target, &client);
    DROPFILES files{};
    files.pFiles = sizeof files;
    files.pt = {client.right / 2, client.bottom / 2};
    files.fWide = TRUE;
    // A block of this process means nothing in the program's; a plain
    // pointer there passes for a fixed global block. Fresh pages are zero:
    // the path's end and the list's closing empty string.
    RemoteMemory memory(target, sizeof files + (path.size() + 2) * sizeof(Char));
    if (!memory.write(0, &files, sizeof files) ||
        !memory.write(sizeof files, path.data(), path.size() * sizeof(Char))) {
        printError(ZT("cannot write the drop into the program"));
        return kFailed;
    }
    return posted(PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory.keep()), 0));
}

// A right-click: WM_CONTEXTMENU from the middle of the control, or of the
// caption.
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
    // <msg> <wparam> <lparam> [--control id]: print the result
    {L"send", 3, 3, [](Context& context) { return message(context, false); }},
    // <msg> <wparam> <lparam> [--control id]
    {L"post", 3, 3, [](Context& context) { return message(context, true); }},
    // <text> [--no-terminator] [--size n]: send WM_COPYDATA with the text's ANSI bytes
    {L"copydata", 1, 1, sendCopyData},
    // <path> [--control id]: post WM_DROPFILES with the path
    {L"drop", 1, 1, dropFile},
    // <dpi> <x> <y> <w> <h>: send WM_DPICHANGED with that DPI and suggested rectangle
    {L"dpi-changed", 5, 5, dpiChanged},
    // <id>|caption: post WM_CONTEXTMENU for a right-click
    {L"context-menu", 1, 1, contextMenu},
    // post WM_CLOSE and wait until the window is gone
    {L"close", 0, 0, closeInstance},
    // <vk> [--control id]: post WM_KEYDOWN and WM_KEYUP
    {L"key", 1, 1, postKey},
};

}  // namespace

constinit const std::span<const Subcommand> kMessageCommands = kTable;

}  // namespace zav2::driver
