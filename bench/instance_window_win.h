// The running Zav2.exe's main window, found from outside by the instance
// marker the program sets on it.
#pragma once

#include <windows.h>

namespace zav2::bench {

inline HWND findInstance() {
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

}  // namespace zav2::bench
