#include "driver.h"

namespace zav2::driver {

namespace {

void write(DWORD stream, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

}  // namespace

void print(StringView line) {
    write(STD_OUTPUT_HANDLE, utf16ToUtf8(line) + "\n");
}

void printError(StringView line) {
    write(STD_ERROR_HANDLE, "zav2-driver: " + utf16ToUtf8(line) + "\n");
}

String number(long long value) {
    return utf8ToUtf16(std::to_string(value));
}

String rectText(const RECT& rect) {
    return number(rect.left) + ZT(" ") + number(rect.top) + ZT(" ") +
           number(rect.right - rect.left) + ZT(" ") + number(rect.bottom - rect.top);
}

std::optional<long long> integerArgument(const Context& context, size_t index) {
    auto value = parseInteger(context.positional(index));
    if (!value)
        printError(ZT("not a number: ") + context.positional(index));
    return value;
}

std::optional<int> keyArgument(const Context& context, size_t index) {
    auto value = parseVirtualKey(context.positional(index));
    if (!value)
        printError(ZT("not a virtual key: ") + context.positional(index));
    return value;
}

bool hasMarker(HWND window, StringView instanceName) {
    String name(instanceName);
    return GetPropW(window, name.c_str()) == reinterpret_cast<HANDLE>(1);
}

bool waitFor(DWORD timeoutMs, const std::function<bool()>& done) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !done(); Sleep(50)) {
        if (GetTickCount64() >= deadline)
            return false;
    }
    return true;
}

HWND findWindowWhere(HWND parent, const std::function<bool(HWND)>& wanted) {
    struct Search {
        const std::function<bool(HWND)>* wanted;
        HWND found;
    } search{&wanted, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        if (!(*search->wanted)(window))
            return TRUE;
        search->found = window;
        return FALSE;
    };
    if (parent)
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD timeoutMs, const std::function<bool(HWND)>& wanted) {
    HWND window = nullptr;
    waitFor(timeoutMs, [&] { return (window = findWindowWhere(nullptr, wanted)) != nullptr; });
    return window;
}

HWND requireInstance(const Context& context) {
    HWND window = waitForWindow(
        context.timeoutMs, [&](HWND window) { return hasMarker(window, context.instanceName); });
    if (!window)
        printError(ZT("no window with the instance marker \"") + context.instanceName + ZT("\""));
    return window;
}

HWND findControl(HWND parent, int id) {
    // Templates store the id in 16 or 32 bits: -1 comes back as either.
    return findWindowWhere(
        parent, [id](HWND child) { return (GetDlgCtrlID(child) & 0xFFFF) == (id & 0xFFFF); });
}

String firstStaticText(HWND dialog, DWORD timeoutMs) {
    String text;
    findWindowWhere(dialog, [&](HWND child) {
        if (equalsIgnoreCase(windowClass(child), ZT("Static")))
            text = controlText(child, timeoutMs).value_or(String());
        return !text.empty();
    });
    return text;
}

bool pressButton(HWND dialog, int button, DWORD timeoutMs) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(findControl(dialog, button)));
    return waitFor(timeoutMs, [&] { return !IsWindow(dialog); });
}

HWND requireControl(const Context& context, int id) {
    HWND instance = requireInstance(context);
    HWND control = instance ? findControl(instance, id) : nullptr;
    if (instance && !control)
        printError(ZT("no control ") + number(id));
    return control;
}

HWND controlArgument(const Context& context) {
    auto id = integerArgument(context, 0);
    return id ? requireControl(context, static_cast<int>(*id)) : nullptr;
}

HWND targetWindow(const Context& context) {
    auto controlOption = context.arguments.option(ZT("control"));
    if (!controlOption)
        return requireInstance(context);
    auto id = parseInteger(*controlOption);
    if (!id) {
        printError(ZT("not a number: ") + *controlOption);
        return nullptr;
    }
    return requireControl(context, static_cast<int>(*id));
}

String windowTitle(HWND window) {
    Char buffer[1024] = {};
    GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

String windowClass(HWND window) {
    Char buffer[256] = {};
    GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

std::optional<LRESULT> sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   DWORD timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
        printError(ZT("the window did not answer in time"));
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

std::optional<String> controlText(HWND window, DWORD timeoutMs) {
    auto length = sendBounded(window, WM_GETTEXTLENGTH, 0, 0, timeoutMs);
    if (!length)
        return std::nullopt;
    String text(static_cast<size_t>(*length) + 1, Char());
    auto copied = sendBounded(window, WM_GETTEXT, text.size(),
                              reinterpret_cast<LPARAM>(text.data()), timeoutMs);
    if (!copied)
        return std::nullopt;
    text.resize(static_cast<size_t>(*copied));
    return text;
}

}  // namespace zav2::driver
