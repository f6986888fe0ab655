// Entry point: decides the instance, hands a second start over to the running
// instance, or brings up the main window and runs the message loop.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "app/accelerators.h"
#include "app/command_line.h"
#include "app/instance_win.h"
#include "settings/settings_apply_win.h"
#include "app/main_window_win.h"
#include "playback/player_window_win.h"
#include "playlist/playlist_window_win.h"
#include "app/opening_win.h"
#include "engine/debug_trace_win.h"
#include "platform/path.h"
#include "resources/resource.h"

namespace zav2 {
namespace {

constexpr ULONGLONG kHeldWindowMilliseconds = 500;

constexpr int kExitComFailed = 1;
constexpr int kExitRefused = 1;
constexpr int kExitNoWindow = 2;

// The arguments after the program path, as the ANSI bytes a second start
// forwards (the program path is quoted or ends at the first blank).
std::string argumentBytes() {
    std::string_view line = GetCommandLineA();
    size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        i = line.find('"', 1);
        i = i == std::string_view::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return std::string(line.substr(i));
}

String programPath() {
    std::vector<Char> buffer(32768);
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return String(buffer.data(), length);
}

UniqueAccelerators buildAccelerators() {
    std::vector<ACCEL> entries;
    for (const Accelerator& key : acceleratorTable()) {
        BYTE flags = FVIRTKEY;
        if (key.modifiers & kShift)
            flags |= FSHIFT;
        if (key.modifiers & kCtrl)
            flags |= FCONTROL;
        entries.push_back({flags, key.virtualKey, key.command});
    }
    return UniqueAccelerators(
        CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size())));
}

HICON loadIcon(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_LOADTRANSPARENT));
}

void setIcons(HINSTANCE module, HWND window) {
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(loadIcon(module, IDI_APP, 32)));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(loadIcon(module, IDI_APP_SMALL, 16)));
    const std::pair<int, int> buttons[] = {{IDC_OPEN_BUTTON, IDI_OPEN},
                                           {IDC_PLAY_BUTTON, IDI_PLAY},
                                           {IDC_STOP_BUTTON, IDI_STOP},
                                           {IDC_PREVIOUS_BUTTON, IDI_PREVIOUS},
                                           {IDC_NEXT_BUTTON, IDI_NEXT}};
    for (const auto& [control, icon] : buttons)
        setButtonIcon(window, control, module, icon);
}

int run(HINSTANCE module, int showCommand) {
    const std::string arguments = argumentBytes();
    MainWindow state;
    state.module = module;
    state.programPath = programPath();
    state.instanceName = instanceNameFor(arguments, fileName(state.programPath));
    if (!instanceNameIsUsable(state.instanceName)) {
        MessageBoxW(nullptr,
                    L"インスタンス名には255文字までの、ファイル名に使える文字を指定してください。",
                    L"Zav2", MB_OK | MB_ICONWARNING);
        return kExitRefused;
    }

    if (const int command = controlCommandFor(arguments)) {
        sendControlCommand(state.instanceName, command);
        return 0;
    }
    switch (handOverCommandLine(state.instanceName, arguments)) {
        case HandOver::None:
            break;
        case HandOver::Forwarded:
        case HandOver::Busy:
            return 0;
        case HandOver::TooLong:
            return kExitRefused;
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        return kExitComFailed;
    }
    state.taskbar.buttonCreatedMessage = RegisterWindowMessageW(L"TaskbarButtonCreated");
    HWND window = createMainWindow(state, showCommand);
    if (!window) {
        shutDownPlayer();
        CoUninitialize();
        return kExitNoWindow;
    }
    setIcons(module, window);
    const UniqueAccelerators accelerators = buildAccelerators();
    setInstanceMarker(window, state.instanceName);

    MSG message;
    int exitCode = 0;
    for (;;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // A folder being opened is walked, then titles are read, while no
            // message waits, a short slice at a time.
            if (!continueOpening(state) && !readTitlesWhileIdle(state))
                WaitMessage();
            continue;
        }
        if (message.message == WM_QUIT) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (TranslateAcceleratorW(window, accelerators.get(), &message))
            continue;
        const ULONGLONG began = GetTickCount64();
        TranslateMessage(&message);
        DispatchMessageW(&message);
        // A step that holds the window long enough for a user to notice is
        // told, with its message: the trace of a late join names it.
        if (const ULONGLONG took = GetTickCount64() - began; took >= kHeldWindowMilliseconds)
            debugTrace(L"window: message 0x%04x held it %llu ms\n", message.message, took);
        runOverdueDisplayTick(state);
    }

    shutDownPlayer();
    CoUninitialize();
    return exitCode;
}

}  // namespace
}  // namespace zav2

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int showCommand) {
    const int exitCode = zav2::run(module, showCommand);
    // Everything the program keeps is written and closed by now. Ending here
    // skips unloading the libraries, whose audio and decoding threads may
    // still be winding down: under Wine, unloading them after those threads
    // were stopped mid-call now and then crashes the exit (a segmentation
    // fault or a failed mutex assertion instead of the exit code).
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    return exitCode;
}
