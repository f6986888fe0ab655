#include "app/instance_win.h"

#include "app/command_line.h"
#include "resources/messages_win.h"

namespace zav2 {

namespace {

constexpr Char kBusyTitleMarker[] = L"プレイリスト保存中...";
constexpr Char kBusyMessage[] = L"現在処理中です。\nしばらく待ってから再実行してください。";
constexpr Char kTooLongMessage[] = L"コマンドラインが長すぎるため、実行中のZav2に渡せません。";

bool hasMarker(HWND window, const String& instanceName) {
    return GetPropW(window, instanceName.c_str()) == reinterpret_cast<HANDLE>(1);
}

String windowTitle(HWND window) {
    Char buffer[512] = {};
    GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

struct Search {
    const String* instanceName;
    bool checkBusy;
    HWND found = nullptr;
    bool busy = false;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    if (search.checkBusy && windowTitle(window).find(kBusyTitleMarker) != String::npos) {
        search.found = window;
        search.busy = true;
        return FALSE;
    }
    if (hasMarker(window, *search.instanceName)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

Search searchWindows(const String& instanceName, bool checkBusy) {
    Search search{&instanceName, checkBusy};
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

}  // namespace

HWND findInstanceWindow(const String& instanceName) {
    return searchWindows(instanceName, false).found;
}

void setInstanceMarker(HWND window, const String& instanceName) {
    SetPropW(window, instanceName.c_str(), reinterpret_cast<HANDLE>(1));
}

void removeInstanceMarker(HWND window, const String& instanceName) {
    RemovePropW(window, instanceName.c_str());
}

HandOver handOverCommandLine(const String& instanceName, const std::string& argumentBytes) {
    const Search search = searchWindows(instanceName, true);
    if (!search.found)
        return HandOver::None;
    if (search.busy) {
        MessageBoxW(search.found, kBusyMessage, L"Zav2", MB_OK);
        return HandOver::Busy;
    }
    if (argumentBytes.size() > kMaxForwardedBytes) {
        // A cut path could name another file: forward nothing instead.
        MessageBoxW(nullptr, kTooLongMessage, L"Zav2", MB_OK | MB_ICONWARNING);
        return HandOver::TooLong;
    }
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(argumentBytes.size() + 1);
    data.lpData = const_cast<char*>(argumentBytes.c_str());
    SendMessageW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    SendMessageW(search.found, kMessageCommandLineForwarded, 0, 0);
    return HandOver::Forwarded;
}

void sendControlCommand(const String& instanceName, int command) {
    if (HWND window = findInstanceWindow(instanceName)) {
        SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
}

}  // namespace zav2
