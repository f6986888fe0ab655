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

#include <cstdio>
#include <cstdlib>
#include <string>

#include "instance_window_win.h"
#include "process_counts_win.h"

namespace {

using zav2::bench::handlesOf;
using zav2::bench::threadsOf;

using zav2::bench::findInstance;

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
