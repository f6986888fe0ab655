// Lines for a debugger's output window, and for the standard error where the
// program has one (started from a console, or under Wine, whose builds here
// leave out their own debug channels): told when the sound is about to run
// dry and why. Each starts with "zav2:" and the milliseconds since the first
// line.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdarg>
#include <cwchar>

namespace zav2 {

inline void debugTrace(const wchar_t* format, ...) {
    static const auto start = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    wchar_t line[256];
    int used = std::swprintf(line, 256, L"zav2: %lld ms: ", static_cast<long long>(ms));
    if (used < 0)
        return;
    va_list arguments;
    va_start(arguments, format);
    const int more =
        std::vswprintf(line + used, 256 - static_cast<size_t>(used), format, arguments);
    va_end(arguments);
    if (more < 0)
        return;
    OutputDebugStringW(line);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE)
        return;
    char text[512];
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
    DWORD written = 0;
    if (bytes > 1)
        WriteFile(error, text, static_cast<DWORD>(bytes - 1), &written, nullptr);
}

}  // namespace zav2
