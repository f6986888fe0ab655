// Subcommands about whole windows: the instance, message boxes, hot keys.
#include "driver.h"

namespace zav2::driver {
namespace {

// A message box of another process: a dialog-class window with the caption
// asked for that is not itself a marked instance (the main window is a
// dialog with the same caption).
HWND findMessageBox(StringView caption, StringView instanceName) {
    return findWindowWhere(nullptr, [&](HWND window) {
        return IsWindowVisible(window) && windowClass(window) == ZT("#32770") &&
               windowTitle(window) == caption && !hasMarker(window, instanceName) &&
               (findControl(window, IDOK) || findControl(window, IDYES));
    });
}

std::optional<int> buttonId(StringView name) {
    if (name == ZT("ok"))
        return IDOK;
    if (name == ZT("cancel"))
        return IDCANCEL;
    if (name == ZT("yes"))
        return IDYES;
    if (name == ZT("no"))
        return IDNO;
    return std::nullopt;
}

}  // namespace

int waitWindow(Context& context) {
    return requireInstance(context) ? kOk : kFailed;
}

int waitGone(Context& context) {
    if (waitFor(context.timeoutMs, [&] { return findInstance(context.instanceName) == nullptr; })) {
        return kOk;
    }
    printError(ZT("the instance \"") + context.instanceName + ZT("\" is still there"));
    return kFailed;
}

int hasMarkerCommand(Context& context) {
    bool present = findInstance(context.instanceName) != nullptr;
    print(present ? ZT("yes") : ZT("no"));
    return present ? kOk : kFailed;
}

int markerCount(Context& context) {
    print(utf8ToUtf16(std::to_string(findInstances(context.instanceName).size())));
    return kOk;
}

int caption(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance) {
        return kFailed;
    }
    print(windowTitle(instance));
    return kOk;
}

int waitCaption(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance) {
        return kFailed;
    }
    const String& wanted = context.positional(0);
    const bool contains = context.arguments.flag(ZT("contains"));
    String last;
    bool matched = waitFor(context.timeoutMs, [&] {
        last = windowTitle(instance);
        return contains ? last.find(wanted) != String::npos : last == wanted;
    });
    print(last);
    return matched ? kOk : kFailed;
}

int windowRect(Context& context) {
    HWND instance = requireInstance(context);
    RECT rect{};
    if (!instance || !GetWindowRect(instance, &rect)) {
        return kFailed;
    }
    print(rectText(rect));
    return kOk;
}

int clientRect(Context& context) {
    HWND instance = requireInstance(context);
    RECT rect{};
    if (!instance || !GetClientRect(instance, &rect)) {
        return kFailed;
    }
    MapWindowPoints(instance, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    print(rectText(rect));
    return kOk;
}

int findTitle(Context& context) {
    const String& wanted = context.positional(0);
    String title;
    bool found = waitFor(context.timeoutMs, [&] {
        return findWindowWhere(nullptr, [&](HWND window) {
                   title = windowTitle(window);
                   return title.find(wanted) != String::npos;
               }) != nullptr;
    });
    if (!found) {
        printError(ZT("no window title contains \"") + wanted + ZT("\""));
        return kFailed;
    }
    print(title);
    return kOk;
}

int messageBox(Context& context) {
    String caption = context.arguments.option(ZT("caption")).value_or(ZT("Zav2"));
    std::optional<int> press;
    if (auto pressOption = context.arguments.option(ZT("press"))) {
        press = buttonId(*pressOption);
        if (!press) {
            printError(ZT("--press takes ok, cancel, yes or no"));
            return kUsage;
        }
    }
    HWND box = nullptr;
    waitFor(context.timeoutMs,
            [&] { return (box = findMessageBox(caption, context.instanceName)) != nullptr; });
    if (!box) {
        printError(ZT("no message box titled \"") + caption + ZT("\""));
        return kFailed;
    }
    // The text is the one static control with text; the icon's static has none.
    print(firstStaticText(box, context.timeoutMs));
    if (press) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(*press, BN_CLICKED),
                     reinterpret_cast<LPARAM>(findControl(box, *press)));
        if (!waitFor(context.timeoutMs, [&] { return !IsWindow(box); })) {
            printError(ZT("the message box stayed open"));
            return kFailed;
        }
    }
    return kOk;
}

int hotkeyTaken(Context& context) {
    auto key = keyArgument(context, 0);
    if (!key) {
        return kUsage;
    }
    // Registration fails exactly when another thread holds the same key and
    // modifiers.
    const int probeId = 0xB000;
    if (RegisterHotKey(nullptr, probeId, 0, static_cast<UINT>(*key))) {
        UnregisterHotKey(nullptr, probeId);
        print(ZT("free"));
        return kFailed;
    }
    print(ZT("taken"));
    return kOk;
}

}  // namespace zav2::driver
