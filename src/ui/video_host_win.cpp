// The video host's own handling of mouse, drops and painting: the engine's
// surface window draws the picture, clicks pause and resume, a double-click
// changes the display mode, and files dropped on the video are taken in.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "ui/controls_win.h"
#include "ui/panel_clicks_win.h"
#include "ui/panel_state_win.h"

namespace zav2 {

namespace {

constexpr UINT_PTR kVideoHostSubclass = 1017;
constexpr DWORD kPointerHideMilliseconds = 5000;

// State of the subclass; the video host owns it and frees it with itself.
struct VideoHost {
    HWND window = nullptr;  // the main window
    HWND textPanel = nullptr;
    HCURSOR arrow = nullptr;
    ClickToPause toPause;
    LPARAM lastPointer = -1;
};

void trackPointer(HWND window, DWORD flags) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = flags;
    track.hwndTrack = window;
    track.dwHoverTime = kPointerHideMilliseconds;
    TrackMouseEvent(&track);
}

// The drop point is in the host's client coordinates; the main window reads
// it as its own to tell a drop on the list from one elsewhere, so it is moved
// into the main window's coordinates first.
// A block that cannot be read is no drop and is not passed on.
void forwardDrop(HWND window, HWND mainWindow, WPARAM drop) {
    const HGLOBAL block = reinterpret_cast<HGLOBAL>(drop);
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    if (!files)
        return;
    if (files->fNC)
        ScreenToClient(mainWindow, &files->pt);
    else
        MapWindowPoints(window, mainWindow, &files->pt, 1);
    files->fNC = FALSE;
    GlobalUnlock(block);
    SendMessageW(mainWindow, WM_DROPFILES, drop, 0);
}

LRESULT CALLBACK videoHostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
    VideoHost& host = *reinterpret_cast<VideoHost*>(data);
    if (takePanelInput(host.toPause, host.window, host.textPanel, message, wParam, lParam))
        return 0;
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(host.arrow);
            return TRUE;
        case WM_MOUSEMOVE:
            if (lParam != host.lastPointer) {
                host.lastPointer = lParam;
                trackPointer(window, TME_HOVER | TME_LEAVE);
                SetCursor(host.arrow);
            } else {
                trackPointer(window, TME_CANCEL | TME_HOVER | TME_LEAVE);
                SetCursor(nullptr);
            }
            break;
        case WM_MOUSEHOVER:
            SetCursor(nullptr);
            break;
        case WM_DROPFILES:
            forwardDrop(window, host.window, wParam);
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_CONTEXTMENU:
            SendMessageW(host.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host.textPanel),
                         lParam);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, videoHostProcedure, kVideoHostSubclass);
            delete &host;
            return DefSubclassProc(window, message, wParam, lParam);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void subclassVideoHost(HWND window, const PanelState& panel) {
    auto* host = new VideoHost;
    host->window = window;
    host->textPanel = panel.textPanel;
    // The desktop's class cursor is the standard arrow.
    host->arrow = reinterpret_cast<HCURSOR>(GetClassLongPtrW(GetDesktopWindow(), GCLP_HCURSOR));
    if (!host->arrow)
        host->arrow = LoadCursorW(nullptr, IDC_ARROW);
    if (!SetWindowSubclass(panel.videoHost, videoHostProcedure, kVideoHostSubclass,
                           reinterpret_cast<DWORD_PTR>(host))) {
        delete host;
    }
}

}  // namespace zav2
