// zav2-soak-probe: watches a running Zav2.exe from outside during a soak.
// Polls its caption every 20 ms and counts the entries that start playing
// (each change to a caption holding "clip-"); at the start and whenever the
// first clip starts again (a pass ended) it prints the process's threads and
// handles (from the system's handle table: Wine answers no per-process
// handle count or memory counters for another process; soak.sh adds the
// memory from /proc):
//   pass <n> played <entries> threads <t> handles <h>
//
//   zav2-soak-probe <passes> [seconds limit]
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND findInstance() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (GetPropW(window, L"Zav2.exe") == reinterpret_cast<HANDLE>(1)) {
                *reinterpret_cast<HWND*>(data) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int threadsOf(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId;
    CloseHandle(snapshot);
    return count;
}

// SystemHandleInformation (16) of NtQuerySystemInformation.
struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ULONG grantedAccess;
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

long handlesOf(DWORD processId) {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long mine = 0;
    for (ULONG i = 0; i < count; ++i)
        mine += entries[i].processId == (processId & 0xFFFF);
    return mine;
}

void report(int pass, int played, DWORD processId) {
    std::printf("pass %d played %d threads %d handles %ld\n", pass, played, threadsOf(processId),
                handlesOf(processId));
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int passes = argc > 1 ? _wtoi(argv[1]) : 2;
    const ULONGLONG limit = (argc > 2 ? _wtoi(argv[2]) : 3600) * 1000ull;
    const ULONGLONG start = GetTickCount64();
    HWND window = nullptr;
    while (!(window = findInstance()) && GetTickCount64() - start < 60000)
        Sleep(100);
    if (!window)
        return 1;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);

    std::wstring last;
    int played = 0;
    int pass = 0;
    while (IsWindow(window) && GetTickCount64() - start < limit) {
        wchar_t text[512] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
        const std::wstring caption = text;
        if (caption != last && caption.find(L"clip-") != std::wstring::npos) {
            if (caption.find(L"clip-001") != std::wstring::npos) {
                report(pass, played, processId);
                if (pass++ == passes)
                    return 0;
            }
            ++played;
        }
        last = caption;
        Sleep(20);
    }
    report(pass, played, processId);
    return 2;
}
