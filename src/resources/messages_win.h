// The program's private window messages (all carry wParam 0 and lParam 0),
// its timers and the window property its icon buttons carry.
#pragma once

#include <windows.h>

namespace zav2 {

inline constexpr UINT kMessageOpenFileDialog = WM_APP + 1;
inline constexpr UINT kMessageCommandLineForwarded = WM_APP + 2;
inline constexpr UINT kMessageOpenFolderDialog = WM_APP + 4;
inline constexpr UINT kMessageEndOfMedia = WM_APP + 8;
// Opens the start-up path (or the resume list) once the window is shown.
inline constexpr UINT kMessageOpenAtStart = WM_APP + 16;

inline constexpr UINT_PTR kDisplayTimerId = 1;
inline constexpr UINT kDisplayTimerMilliseconds = 100;
// Looks for changes of the list to write to the resume list; runs while the
// display timer is stopped too.
inline constexpr UINT_PTR kResumeTimerId = 2;
inline constexpr UINT kResumeTimerMilliseconds = 250;
inline constexpr int kMediaHotKeyId = 2409;
// Near the end of the media: looks for the end more often than the display
// timer, so that the next entry starts at once.
inline constexpr UINT_PTR kEndWatchTimerId = 3;
inline constexpr UINT kEndWatchMilliseconds = 10;
inline constexpr ULONGLONG kEndWatchLimitMilliseconds = 1000;

// The id of the icon an icon button shows, kept on the button as a window
// property: the icon is loaded again at another DPI, and the button is named
// after it.
inline constexpr wchar_t kButtonIconProperty[] = L"Zav2.IconId";

}  // namespace zav2
