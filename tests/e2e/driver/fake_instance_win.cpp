// A stand-in for a running instance: a top-level window carrying the instance
// marker (or only a title) that logs, one line each, the messages a second
// start sends it. Tests of the sending side read that log.
#include "driver.h"

namespace zav2::driver {
namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr int kHeldHotKey = 1;

struct FakeState {
    String markerName;  // empty: no marker
};

String sentFlag() {
    // True while handling a message another thread sent and waits for.
    return InSendMessage() ? ZT("sent=1") : ZT("sent=0");
}

void logCopyData(const COPYDATASTRUCT& data) {
    const char* bytes = static_cast<const char*>(data.lpData);
    size_t length = 0;
    while (bytes && length < data.cbData && bytes[length] != '\0') {
        ++length;
    }
    bool terminated = bytes && length < data.cbData;
    print(ZT("WM_COPYDATA ") + sentFlag() + ZT(" dwData=") +
          number(static_cast<long long>(data.dwData)) + ZT(" cbData=") + number(data.cbData) +
          ZT(" terminated=") + number(terminated ? 1 : 0) + ZT(" text=") +
          ansiToUtf16(std::string_view(bytes ? bytes : "", length)));
}

LRESULT CALLBACK fakeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<FakeState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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
        case WM_HOTKEY:
            print(ZT("WM_HOTKEY key=") + number(HIWORD(lParam)));
            return 0;
        case WM_TIMER:
            if (wParam == kLifetimeTimer) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            if (state && !state->markerName.empty()) {
                RemovePropW(window, state->markerName.c_str());
            }
            UnregisterHotKey(window, kHeldHotKey);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int fakeInstance(Context& context) {
    FakeState state;
    if (!context.arguments.flag(ZT("no-marker"))) {
        state.markerName = context.instanceName;
    }
    String title = context.arguments.option(ZT("title")).value_or(ZT("Zav2"));
    long long lifetime = 120000;
    if (auto option = context.arguments.option(ZT("lifetime"))) {
        auto parsed = parseInteger(*option);
        if (!parsed || *parsed <= 0) {
            printError(ZT("--lifetime takes milliseconds"));
            return kUsage;
        }
        lifetime = *parsed;
    }
    // Held keys share one id, as the program registers its media keys.
    std::vector<int> heldKeys;
    if (auto option = context.arguments.option(ZT("hotkey"))) {
        StringView rest = *option;
        while (!rest.empty()) {
            size_t comma = rest.find(',');
            StringView word = rest.substr(0, comma);
            auto key = parseVirtualKey(word);
            if (!key) {
                printError(ZT("not a virtual key: ") + String(word));
                return kUsage;
            }
            heldKeys.push_back(*key);
            rest = comma == StringView::npos ? StringView() : rest.substr(comma + 1);
        }
    }

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
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    for (int key : heldKeys) {
        if (!RegisterHotKey(window, kHeldHotKey, 0, static_cast<UINT>(key))) {
            printError(ZT("hot key ") + number(key) + ZT(" is held by another program"));
        }
    }
    if (!state.markerName.empty()) {
        SetPropW(window, state.markerName.c_str(), reinterpret_cast<HANDLE>(1));
    }
    SetTimer(window, kLifetimeTimer, static_cast<UINT>(lifetime), nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return kOk;
}

}  // namespace zav2::driver
