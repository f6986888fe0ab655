// The DPI a window is drawn for. A window learns a new DPI from
// WM_DPICHANGED; it is kept on the top-level window, so every control and
// every subsystem that loads icons or fonts for it asks the same place.
#pragma once

#include <windows.h>

#include "platform/dpi.h"

namespace zav2 {

inline constexpr wchar_t kWindowDpiProperty[] = L"Zav2.Dpi";

// What the last WM_DPICHANGED said, else what the system says, else 96.
inline int windowDpi(HWND window) {
    const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (const auto told = reinterpret_cast<INT_PTR>(GetPropW(root, kWindowDpiProperty)))
        return static_cast<int>(told);
    const auto system = window ? static_cast<int>(GetDpiForWindow(window)) : 0;
    return system > 0 ? system : 96;
}

inline void rememberWindowDpi(HWND topLevel, int dpi) {
    SetPropW(topLevel, kWindowDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

inline void forgetWindowDpi(HWND topLevel) {
    RemovePropW(topLevel, kWindowDpiProperty);
}

}  // namespace zav2
