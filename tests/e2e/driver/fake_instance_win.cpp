// A stand-in for a running instance: a top-level window carrying the instance
// marker that logs, one line each, the messages a second start sends it.
// Tests of the sending side read that log. One left behind by a failed
// scenario goes with the Wine server that tools/wine-run stops.
#include "driver.h"

namespace zav2::driver {
namespace {

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
    {L"fake-instance", 0, 0, fakeInstance, L"[--title T]: a marked stand-in window that logs"},
};

}  // namespace

constinit const std::span<const Subcommand> kFakeCommands = kTable;

}  // namespace zav2::driver
