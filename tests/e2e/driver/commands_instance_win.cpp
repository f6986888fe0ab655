// Subcommands about whole windows: the instance, message boxes, hot keys,
// and a stand-in for the instance.
#include "driver.h"

namespace zav2::driver {
namespace {

int waitWindow(Context& context) {
    return requireInstance(context) ? kOk : kFailed;
}

int markerCount(Context& context) {
    int count = 0;
    findWindowWhere(nullptr, [&](HWND window) {
        count += hasMarker(window, context.instanceName) ? 1 : 0;
        return false;
    });
    print(number(count));
    return kOk;
}

// The shown top-level window whose text has `text`: its title, or, for one
// without (a tooltip), what it answers to WM_GETTEXT. Prints the text and the
// window's x y w h.
int findWindow(Context& context) {
    const String wanted = context.optional(0);
    const auto className = context.arguments.option(ZT("class"));
    String text;
    HWND window = waitForWindow(context.timeoutMs, [&](HWND window) {
        if (!IsWindowVisible(window) || (className && windowClass(window) != *className))
            return false;
        text = windowTitle(window);
        if (text.empty() && className)
            text = controlText(window, context.timeoutMs).value_or(String());
        return text.find(wanted) != String::npos;
    });
    if (!window) {
        printError(ZT("no window shows \"") + wanted + ZT("\""));
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    print(text);
    print(rectText(rect));
    // --escape: closes it as Escape does (a popup menu, once it is read).
    if (context.arguments.flag(ZT("escape"))) {
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        return waitFor(context.timeoutMs, [&] { return !IsWindowVisible(window); }) ? kOk : kFailed;
    }
    return kOk;
}

int messageBox(Context& context) {
    String caption = context.arguments.option(ZT("caption")).value_or(ZT("Zav2"));
    const std::pair<StringView, int> buttons[] = {
        {ZT("ok"), IDOK}, {ZT("cancel"), IDCANCEL}, {ZT("yes"), IDYES}, {ZT("no"), IDNO}};
    int press = 0;
    if (auto pressOption = context.arguments.option(ZT("press"))) {
        for (const auto& [name, id] : buttons)
            press = name == *pressOption ? id : press;
        if (!press) {
            printError(ZT("--press takes ok, cancel, yes or no"));
            return kUsage;
        }
    }
    // A dialog-class window with the caption asked for that is not itself a
    // marked instance (the main window is a dialog with the same caption).
    HWND box = waitForWindow(context.timeoutMs, [&](HWND window) {
        return IsWindowVisible(window) && windowClass(window) == ZT("#32770") &&
               windowTitle(window) == caption && !hasMarker(window, context.instanceName) &&
               (findControl(window, IDOK) || findControl(window, IDYES));
    });
    if (!box) {
        printError(ZT("no message box titled \"") + caption + ZT("\""));
        return kFailed;
    }
    // The text is the one static control with text; the icon's static has none.
    print(firstStaticText(box, context.timeoutMs));
    if (press && !pressButton(box, press, context.timeoutMs)) {
        printError(ZT("the message box stayed open"));
        return kFailed;
    }
    return kOk;
}

int hotkeyTaken(Context& context) {
    auto key = keyArgument(context, 0);
    if (!key)
        return kUsage;
    // Registration fails exactly when another thread holds the same key and
    // modifiers.
    const int probeId = 0xB000;
    const bool free = RegisterHotKey(nullptr, probeId, 0, static_cast<UINT>(*key));
    if (free)
        UnregisterHotKey(nullptr, probeId);
    return free ? kFailed : kOk;
}

// A stand-in for a running instance: a top-level window carrying the instance
// marker that logs, one line each, the messages a second start sends it.
// Tests of the sending side read that log. One left behind by a failed
// scenario goes with the Wine server that tools/wine-run stops.
String sentFlag() {
    // True while handling a message another thread sent and waits for.
    return InSendMessage() ? ZT("sent=1") : ZT("sent=0");
}

void logCopyData(const COPYDATASTRUCT& data) {
    const char* bytes = static_cast<const char*>(data.lpData);
    size_t length = 0;
    while (bytes && length < data.cbData && bytes[length] != '\0')
        ++length;
    bool terminated = bytes && length < data.cbData;
    print(ZT("WM_COPYDATA ") + sentFlag() + ZT(" dwData=") +
          number(static_cast<long long>(data.dwData)) + ZT(" cbData=") + number(data.cbData) +
          ZT(" terminated=") + number(terminated ? 1 : 0) + ZT(" text=") +
          ansiToUtf16(std::string_view(bytes ? bytes : "", length)));
}

LRESULT CALLBACK fakeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA:
            logCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return TRUE;
        case WM_APP + 2:
            print(ZT("WM_APP+2 ") + sentFlag() + ZT(" wParam=") +
                  number(static_cast<long long>(wParam)) + ZT(" lParam=") + number(lParam));
            return 0;
        case WM_COMMAND:
            print(ZT("WM_COMMAND ") + sentFlag() + ZT(" id=") + number(LOWORD(wParam)) +
                  ZT(" code=") + number(HIWORD(wParam)) + ZT(" lParam=") + number(lParam));
            return 0;
        case WM_DESTROY:
            RemovePropW(window,
                        reinterpret_cast<const wchar_t*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

int fakeInstance(Context& context) {
    const String title = context.arguments.option(ZT("title")).value_or(ZT("Zav2"));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = fakeProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Zav2DriverFakeInstance";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 160, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        printError(ZT("cannot create the window"));
        return kFailed;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(context.instanceName.c_str()));
    SetPropW(window, context.instanceName.c_str(), reinterpret_cast<HANDLE>(1));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return kOk;
}

constexpr Subcommand kTable[] = {
    // wait until the instance's marked window exists
    {L"wait-window", 0, 0, waitWindow},
    // print how many top-level windows carry the marker
    {L"marker-count", 0, 0, markerCount},
    // [text] [--class C] [--escape]
    {L"find-window", 0, 1, findWindow},
    // [--caption Zav2] [--press ok|cancel|yes|no]: wait for a message box, print its text
    {L"message-box", 0, 0, messageBox},
    // <vk>: exit 0 when another program holds it
    {L"hotkey-taken", 1, 1, hotkeyTaken},
    // [--title T]: a marked stand-in window that logs
    {L"fake-instance", 0, 0, fakeInstance},
};

}  // namespace

constinit const std::span<const Subcommand> kWindowCommands = kTable;

}  // namespace zav2::driver
