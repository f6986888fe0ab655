// Answers to the program's shell dialogs and reads of what it leaves on the
// clipboard.
#include <shlobj.h>
#include <shobjidl.h>

#include "driver.h"
#include "platform/handles_win.h"

namespace zav2::driver {

namespace {

// A visible folder-browse dialog (a dialog with a tree view) whose texts
// include `title`.
HWND findFolderDialog(StringView title, DWORD timeoutMs) {
    struct Search {
        String title;
        DWORD timeoutMs;
        HWND found;
    } search{String(title), timeoutMs, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            if (!IsWindowVisible(window) || windowClass(window) != ZT("#32770") ||
                !FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) {
                return TRUE;
            }
            struct Match {
                const Search* search;
                bool found;
            } match{search, false};
            EnumChildWindows(
                window,
                [](HWND child, LPARAM data) -> BOOL {
                    auto* match = reinterpret_cast<Match*>(data);
                    const auto text = controlText(child, match->search->timeoutMs);
                    match->found = text && *text == match->search->title;
                    return !match->found;
                },
                reinterpret_cast<LPARAM>(&match));
            if (match.found)
                search->found = window;
            return !match.found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int folderDialog(Context& context) {
    const String& folder = context.positional(0);
    const String title = context.arguments.option(ZT("title")).value_or(ZT(""));
    HWND dialog = nullptr;
    waitFor(context.timeoutMs,
            [&] { return (dialog = findFolderDialog(title, context.timeoutMs)) != nullptr; });
    if (!dialog) {
        printError(ZT("no folder dialog with the text \"") + title + ZT("\""));
        return kFailed;
    }
    if (context.arguments.flag(ZT("cancel"))) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        // The dialog reads the path in its own process: put it there.
        DWORD processId = 0;
        GetWindowThreadProcessId(dialog, &processId);
        UniqueHandle process(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
        const size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
        void* remote = process ? VirtualAllocEx(process.get(), nullptr, bytes,
                                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                               : nullptr;
        if (!remote || !WriteProcessMemory(process.get(), remote, folder.c_str(), bytes, nullptr)) {
            printError(ZT("cannot hand the path to the dialog"));
            return kFailed;
        }
        sendBounded(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote),
                    context.timeoutMs);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        // The page stays behind in the program: a few bytes for a test run.
    }
    if (!waitFor(context.timeoutMs, [&] { return !IsWindow(dialog); })) {
        printError(ZT("the folder dialog stayed open"));
        return kFailed;
    }
    return kOk;
}

int clipboardDib(Context&) {
    if (!OpenClipboard(nullptr)) {
        printError(ZT("cannot open the clipboard"));
        return kFailed;
    }
    int result = kFailed;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        if (header && size >= sizeof(BITMAPINFOHEADER) && header->biBitCount == 32 &&
            (header->biCompression == BI_RGB || header->biCompression == BI_BITFIELDS)) {
            const long long width = header->biWidth;
            const long long height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
            const size_t pixels =
                header->biSize + (header->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0);
            const size_t centre = static_cast<size_t>((height / 2) * width + width / 2) * 4;
            if (pixels + centre + 4 <= size) {
                const auto* bgra = reinterpret_cast<const BYTE*>(header) + pixels + centre;
                print(number(width) + ZT(" ") + number(height) + ZT(" ") + number(bgra[2]) +
                      ZT(" ") + number(bgra[1]) + ZT(" ") + number(bgra[0]));
                result = kOk;
            }
        } else {
            printError(ZT("the clipboard's DIB is not 32 bits per pixel"));
        }
        if (header)
            GlobalUnlock(data);
    } else {
        printError(ZT("no DIB on the clipboard"));
    }
    CloseClipboard();
    return result;
}

int taskbarButtonCreated(Context& context) {
    // What the shell sends when the window's taskbar button (re)appears.
    HWND instance = requireInstance(context);
    const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    if (!instance || !message)
        return kFailed;
    return sendBounded(instance, message, 0, 0, context.timeoutMs) ? kOk : kFailed;
}

int shellObjects(Context&) {
    // What this Wine offers the taskbar code, one line per object.
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::pair<const wchar_t*, const CLSID*> objects[] = {
        {L"TaskbarList", &CLSID_TaskbarList},
        {L"DestinationList", &CLSID_DestinationList},
        {L"EnumerableObjectCollection", &CLSID_EnumerableObjectCollection},
        {L"ShellLink", &CLSID_ShellLink},
    };
    for (const auto& [name, clsid] : objects) {
        IUnknown* object = nullptr;
        const HRESULT hr =
            CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
        if (object)
            object->Release();
        wchar_t code[16];
        wsprintfW(code, L"%08lx", static_cast<unsigned long>(hr));
        print(String(name) + (SUCCEEDED(hr) ? ZT(" yes") : ZT(" no 0x") + String(code)));
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return kOk;
}

}  // namespace zav2::driver
