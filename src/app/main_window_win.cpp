#include "app/main_window_win.h"

#include <commctrl.h>
#include <mmdeviceapi.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "app/command_line.h"
#include "platform/dpi_win.h"
#include "playlist/playlist_file.h"
#include "app/instance_win.h"
#include "resources/messages_win.h"
#include "playback/playback_window_win.h"
#include "app/layout_calls_win.h"
#include "playback/player_window_win.h"
#include "playlist/playlist_win.h"
#include "playlist/playlist_window_win.h"
#include "app/opening_win.h"
#include "app/resume_list_win.h"
#include "app/settings_calls_win.h"
#include "app/command_dispatcher_win.h"
#include "app/list_commands_win.h"
#include "ui/button_names_win.h"
#include "playback/loudness_cache.h"
#include "ui/controls_win.h"
#include "platform/path.h"
#include "resources/resource.h"

namespace zav2 {

namespace {

using Microsoft::WRL::ComPtr;

// The media and volume keys, registered in this order under one id.
constexpr UINT kMediaKeys[6] = {VK_MEDIA_PREV_TRACK, VK_MEDIA_NEXT_TRACK, VK_MEDIA_STOP,
                                VK_MEDIA_PLAY_PAUSE, VK_VOLUME_UP,        VK_VOLUME_DOWN};

constexpr const Char* kMenuNames[kMenuCount] = {IDR_MENU_LIST,  IDR_MENU_MASTER, IDR_MENU_PLAY,
                                                IDR_MENU_TITLE, IDR_MENU_TEXT,   IDR_MENU_OPEN};

MainWindow& stateOf(HWND window) {
    return *reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void hideCaret(HWND control) {
    HideCaret(control);
}

void registerHotKeys(MainWindow& state) {
    for (size_t i = 0; i < std::size(kMediaKeys); ++i) {
        // A key another program holds is simply left out.
        state.hotKeyRegistered[i] = RegisterHotKey(state.window, kMediaHotKeyId, 0, kMediaKeys[i]);
    }
}

void unregisterHotKeys(MainWindow& state) {
    // One id carries all six keys; unregister it once per registration.
    for (bool& registered : state.hotKeyRegistered) {
        if (registered)
            UnregisterHotKey(state.window, kMediaHotKeyId);
        registered = false;
    }
}

void loadMenus(MainWindow& state) {
    for (int i = 0; i < kMenuCount; ++i) {
        LoadedMenu& menu = state.commands.menus[i];
        menu.holder.reset(LoadMenuW(state.module, kMenuNames[i]));
        if (!menu.holder)
            continue;
        HMENU shown = GetSubMenu(menu.holder.get(), 0);
        if (shown && RemoveMenu(menu.holder.get(), 0, MF_BYPOSITION))
            menu.shown.reset(shown);
    }
    if (HMENU open = state.commands.shownMenu(kOpenMenu)) {
        for (UINT id : {IDM_OPEN_FILE, IDM_OPEN_FOLDER}) {
            ModifyMenuW(open, id, MF_BYCOMMAND | MF_OWNERDRAW, id, nullptr);
        }
    }
}

void destroyMenus(MainWindow& state) {
    for (LoadedMenu& menu : state.commands.menus) {
        menu.shown.reset();
        menu.holder.reset();
    }
}

void obtainMasterVolume(MainWindow& state) {
    ComPtr<IMMDeviceEnumerator> devices;
    ComPtr<IMMDevice> speakers;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                IID_PPV_ARGS(&devices))) ||
        FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &speakers)) ||
        FAILED(speakers->Activate(
            __uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
            reinterpret_cast<void**>(state.playback.masterVolume.ReleaseAndGetAddressOf())))) {
        state.playback.masterVolume.Reset();
    }
}

void createTaskbarList(MainWindow& state) {
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL,
                                IID_PPV_ARGS(&state.taskbar.list)))) {
        state.taskbar.list.Reset();
    }
}

String commandLinePath(MainWindow&) {
    std::vector<String> arguments = splitCommandLine(GetCommandLineW());
    arguments.erase(arguments.begin());
    return pathArgument(arguments);
}

// ---------------------------------------------------------------------------
// Message handlers, one per message of the procedure's table.

// The window follows a change of DPI itself (onDpiChanged). On Windows 10
// 1703 and later the dialog manager would otherwise, after us, lay the
// controls out again, resize the dialog and reset every control's font to
// the dialog's, the list's and the text's own fonts too; its documented
// switch (DDC_DISABLE_ALL) stops it answering WM_DPICHANGED and
// WM_GETDPISCALEDSIZE at all. Looked up, as older systems lack it.
void leaveDpiChangesToTheProgram(HWND dialog) {
    using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
    constexpr int kDisableAll = 0x0001;  // DDC_DISABLE_ALL
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto set = user32 ? reinterpret_cast<SetBehavior>(reinterpret_cast<void (*)()>(
                                  GetProcAddress(user32, "SetDialogDpiChangeBehavior")))
                            : nullptr;
    if (set)
        set(dialog, kDisableAll, kDisableAll);
}

BOOL onInitDialog(HWND window, MainWindow& state) {
    state.window = window;
    // The DPI the window is drawn for from the start: when WM_DPICHANGED
    // comes, GetDpiForWindow already answers the new one, so the old one
    // must be known beforehand.
    rememberWindowDpi(window, static_cast<int>(GetDpiForWindow(window)) > 0
                                  ? static_cast<int>(GetDpiForWindow(window))
                                  : 96);
    leaveDpiChangesToTheProgram(window);
    setCurrentEntry(state.list, -1);
    state.panel.textPanel = GetDlgItem(window, IDC_TEXT_PANEL);
    state.panel.videoHost = GetDlgItem(window, IDC_VIDEO_HOST);
    SetParent(state.panel.videoHost, state.panel.textPanel);
    SetWindowLongPtrW(state.panel.textPanel, GWL_STYLE,
                      GetWindowLongPtrW(state.panel.textPanel, GWL_STYLE) | WS_CLIPCHILDREN);
    subclassVideoHost(state.window, state.panel);
    hideCaret(state.panel.textPanel);
    hideCaret(state.panel.videoHost);

    state.playback.playerReady = initializePlayer(state.panel.videoHost);
    if (!state.playback.playerReady) {
        // The window stays, without its features; the settings file is left
        // as it was (nothing was loaded to write back).
        MessageBoxW(window, L"再生エンジンを初期化できませんでした。", L"Zav2",
                    MB_OK | MB_ICONERROR);
        return TRUE;
    }

    state.callerWindow = GetForegroundWindow();
    state.list.listBox = GetDlgItem(window, IDC_LIST);
    GetWindowRect(window, &state.templateWindowRect);
    GetClientRect(window, &state.templateClientRect);
    GetWindowRect(state.list.listBox, &state.templateListRect);
    registerHotKeys(state);
    loadMenus(state);
    // The recent items live in the settings file, so its path comes first.
    determineSettingsPath(state);
    state.playback.places.useFile(placesFilePath(state.programPath));
    state.playback.gains.useFile(loudnessFilePath(state.programPath));
    rebuildJumpList(taskbarOwner(state));
    obtainMasterVolume(state);
    createTaskbarList(state);
    state.playback.seekBar = GetDlgItem(window, IDC_SEEK_BAR);
    subclassSeekBar(state.playback.seekBar);
    ShowWindow(window, SW_SHOW);
    loadWindowPlacement(state);
    state.list.listBoxProcedure =
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(state.list.listBox, GWLP_WNDPROC));
    subclassPanelAndList(state.window, state.panel, state.list, state.settings.SingleClickMode);
    hideCaret(state.panel.textPanel);
    loadRemainingSettings(state);
    DragAcceptFiles(window, TRUE);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    state.playback.volumeSlider = GetDlgItem(window, IDC_VOLUME_SLIDER);
    SendMessageW(state.playback.volumeSlider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(state.playback.volumeSlider, TBM_SETPOS, TRUE, programVolume(state) / 10);
    subclassVolumeSlider(state.playback.volumeSlider);
    nameControls(window);
    state.playback.timeText = GetDlgItem(window, IDC_TIME_DISPLAY);
    loadCaptureFolder(state);
    // The panes as the settings have them (which side, how wide), whatever
    // the start opens: with nothing to open no later step lays them out.
    layOutWindow(state);
    keepListRows(state);

    String path = commandLinePath(state);
    OpenedBy how = OpenedBy::CommandLine;
    if (path.size() > kMaxPath) {
        MessageBoxW(window, L"パスが長すぎるため開けません。", L"Zav2", MB_OK | MB_ICONWARNING);
        path.clear();
    }
    if (path.empty()) {
        const String resume = resumeListPath(state.programPath, state.instanceName);
        if (GetFileAttributesW(resume.c_str()) != INVALID_FILE_ATTRIBUTES) {
            path = resume;
            how = OpenedBy::ResumeAtStartUp;
        }
    }
    SetWindowTextW(window, L"Zav2");
    if (!path.empty()) {
        // Opened by the loop once the window shows and answers: a big folder
        // takes a while, and the program must not look dead meanwhile.
        state.list.startPath = std::move(path);
        state.list.startResumes = how == OpenedBy::ResumeAtStartUp;
        PostMessageW(window, kMessageOpenAtStart, 0, 0);
    }
    SetTimer(window, kResumeTimerId, kResumeTimerMilliseconds, nullptr);
    return FALSE;
}

void onCopyData(MainWindow& state, const COPYDATASTRUCT* data) {
    if (!data)
        return;
    state.forwardedCommandLine = copyForwardedBytes(data->lpData, data->cbData);
}

void onCommandLineForwarded(MainWindow& state) {
    setCurrentEntry(state.list, -1);
    hideCaret(state.panel.textPanel);
    hideCaret(state.panel.videoHost);
    state.callerWindow = GetForegroundWindow();
    const String text = ansiToUtf16(state.forwardedCommandLine);
    String path = pathArgument(splitCommandLine(text, false));
    if (path.empty()) {
        stopAndReset(playbackParts(state));
        emptyList(state.list, state.window);
        state.savedCaption = L"Zav2";
        SetWindowTextW(state.window, L"Zav2");
        return;
    }
    if (path.size() > kMaxPath)
        path.resize(kMaxPath);  // cannot happen: the bytes are bounded
    openPath(state, path, OpenedBy::Forwarded);
}

INT_PTR onCommand(MainWindow& state, WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (HIWORD(wParam) == EN_SETFOCUS && from &&
        (from == state.panel.textPanel || from == state.panel.videoHost)) {
        hideCaret(from);
    }
    const bool handled = dispatchCommand(state, wParam);
    if (!IsWindow(state.window) || listIsEmpty(state.list))
        return FALSE;
    if (handled) {
        dropStalePreload(playbackParts(state));
        layOutWindow(state);
        refreshTimeDisplay(playbackParts(state));
        return FALSE;
    }
    return DefWindowProcW(state.window, WM_COMMAND, wParam, lParam);
}

void onTimer(MainWindow& state) {
    state.lastDisplayTick = GetTickCount64();
    if (listIsEmpty(state.list))
        return;
    if (state.listRefreshPending) {
        reselectCurrentEntry(state.list);
        state.listRefreshPending = false;
        RedrawWindow(state.list.listBox, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RedrawWindow(state.panel.textPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        layOutWindow(state);
    }
    onDisplayTimer(playbackParts(state));
}

void onHotKey(MainWindow& state, LPARAM lParam) {
    onMediaKey(playbackParts(state), HIWORD(lParam));
}

BOOL onMouseWheel(MainWindow& state, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT panel = windowRect(state.panel.textPanel);
    if (!PtInRect(&panel, point))
        return FALSE;
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE;
    if ((GetWindowLongPtrW(state.panel.textPanel, GWL_STYLE) & WS_VSCROLL) &&
        GetScrollInfo(state.panel.textPanel, SB_VERT, &scroll) && scroll.nMax != 0) {
        layOutWindow(state);
        return TRUE;
    }
    onWheelOverPanel(playbackParts(state), GET_WHEEL_DELTA_WPARAM(wParam));
    return FALSE;
}

void showMenuAt(MainWindow& state, MenuIndex menu, POINT point) {
    if (HMENU shown = state.commands.shownMenu(menu)) {
        TrackPopupMenu(shown, 0, point.x, point.y, 0, state.window, nullptr);
    }
}

BOOL onContextMenu(MainWindow& state, HWND clicked, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (clicked == state.playback.volumeSlider) {
        showMenuAt(state, kMasterMenu, point);
        return FALSE;
    }
    if (clicked == state.panel.textPanel) {
        showMenuAt(state, kTextMenu, point);
        return FALSE;
    }
    if (clicked == GetDlgItem(state.window, IDC_NEXT_BUTTON)) {
        SendMessageW(state.window, WM_COMMAND, IDM_RANDOM_JUMP, 0);
        return FALSE;
    }
    POINT clientTop{0, 0};
    ClientToScreen(state.window, &clientTop);
    if (point.y < clientTop.y) {
        showMenuAt(state, kTitleMenu, point);
        return TRUE;
    }
    if (clicked == state.list.listBox && !listIsEmpty(state.list))
        showListContextMenu(state, point);
    return FALSE;
}

BOOL onDrawItem(MainWindow& state, const DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_MENU) {
        drawOpenMenuItem(state.window, state.module, item);
        return TRUE;
    }
    if (item.CtlID == IDC_LIST && !listIsEmpty(state.list)) {
        drawListItem(state.list, state.panel, state.settings.DarkMode == 1,
                     state.settings.ShowBitmapList == 1, item);
        return TRUE;
    }
    return FALSE;
}

INT_PTR onCtlColorStatic(MainWindow& state, HDC dc, HWND control) {
    if (control != state.panel.textPanel)
        return FALSE;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// The list row under a point of the main window; `below` also when the point
// is off the list box.
RowAtPoint listItemAt(MainWindow& state, POINT clientPoint) {
    POINT listPoint = clientPoint;
    MapWindowPoints(state.window, state.list.listBox, &listPoint, 1);
    RowAtPoint hit = listRowAtPoint(state.list.listBox, listPoint);
    RECT client{};
    GetClientRect(state.list.listBox, &client);
    hit.below = hit.below || !PtInRect(&client, listPoint);
    return hit;
}

void onMouseMessage(MainWindow& state, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(state.window);
            if (!onSplitterMessage(state, message, wParam, lParam) && !listIsEmpty(state.list)) {
                state.list.dragSource = std::max(listItemAt(state, point).row, 0);
                // The pointer runs over the list box during the drag: its
                // moves must come here.
                SetCapture(state.window);
            }
            break;
        case WM_MOUSEMOVE: {
            if (point.x == state.commands.lastMousePoint.x &&
                point.y == state.commands.lastMousePoint.y)
                break;
            state.commands.lastMousePoint = point;
            if (onSplitterMessage(state, message, wParam, lParam))
                break;
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_HOVER | TME_LEAVE;
            track.hwndTrack = state.window;
            track.dwHoverTime = 1;
            TrackMouseEvent(&track);
            if (state.list.dragSource < 0)
                break;
            if (!(wParam & MK_LBUTTON)) {
                state.list.dragSource = -1;
                break;
            }
            const RowAtPoint hit = listItemAt(state, point);
            if (hit.below) {
                state.list.dragSource = -1;
                break;
            }
            const int item = hit.row;
            if (item != state.list.dragSource) {
                moveSelectedEntries(state.list, item > state.list.dragSource ? 1 : -1);
                state.list.dragSource = item;
            }
            break;
        }
        case WM_LBUTTONUP:
            ReleaseCapture();
            onSplitterMessage(state, message, wParam, lParam);
            state.list.dragSource = -1;
            break;
        case WM_MOUSELEAVE:
            onSplitterMessage(state, message, wParam, lParam);
            state.list.dragSource = -1;
            break;
        case WM_MOUSEHOVER:
            onSplitterMessage(state, message, wParam, lParam);
            break;
    }
}

void onDestroy(MainWindow& state) {
    if (IsZoomed(state.window))
        ShowWindow(state.window, SW_RESTORE);
    KillTimer(state.window, kDisplayTimerId);
    KillTimer(state.window, kResumeTimerId);
    KillTimer(state.window, kEndWatchTimerId);
    unregisterHotKeys(state);
    releaseButtonIcons(state.window);
    if (state.playback.playerReady) {
        // Taken before the stop, which leaves the entry (and keeps its place).
        const int nowPosition = currentEntryPosition(playbackParts(state));
        stopAndReset(playbackParts(state));
        useTrackGains(nullptr);
        state.playback.gains.close();
        state.taskbar.list.Reset();
        destroyMenus(state);
        state.playback.masterVolume.Reset();
        saveResumeList(state);
        // Settings that were never loaded are not written over the file.
        saveSettings(state, nowPosition);
        if (afterActiveEnabled(state) && state.callerWindow)
            SetForegroundWindow(state.callerWindow);
    }
    // The marker goes with the loop; a property must be removed before its
    // window is destroyed.
    removeInstanceMarker(state.window, state.instanceName);
    PostQuitMessage(0);
}

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return onInitDialog(window, *reinterpret_cast<MainWindow*>(lParam));
    }
    if (!GetWindowLongPtrW(window, DWLP_USER))
        return FALSE;  // before WM_INITDIALOG
    MainWindow& state = stateOf(window);

    if (message == WM_SYSCOMMAND) {
        if (wParam == SC_CLOSE || wParam == 0xF063) {  // 0xF063: close by double-click
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    }
    if (state.taskbar.buttonCreatedMessage && message == state.taskbar.buttonCreatedMessage) {
        addThumbnailButtons(taskbarOwner(state));
        rebuildJumpList(taskbarOwner(state));
        return FALSE;
    }

    switch (message) {
        case WM_COPYDATA:
            onCopyData(state, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return TRUE;
        case kMessageCommandLineForwarded:
            onCommandLineForwarded(state);
            return FALSE;
        case kMessageOpenFileDialog:
            suspendFrames(true);
            showOpenFileDialog(state);
            suspendFrames(false);
            return FALSE;
        case kMessageOpenFolderDialog:
            suspendFrames(true);
            showOpenFolderDialog(state);
            suspendFrames(false);
            return FALSE;
        case kMessageOpenAtStart:
            openAtStart(state);
            return FALSE;
        case kMessageEndOfMedia:
            onEndOfMedia(playbackParts(state));
            return FALSE;
        case WM_DROPFILES:
            dropFiles(state, window, reinterpret_cast<HDROP>(wParam));
            return FALSE;
        case WM_COMMAND:
            SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
            return onCommand(state, wParam, lParam);
        case WM_TIMER:
            if (wParam == kResumeTimerId)
                onResumeTimer(state);
            else if (wParam == kEndWatchTimerId)
                onEndWatchTimer(playbackParts(state));
            else
                onTimer(state);
            return FALSE;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == state.playback.seekBar)
                onSeekBarScroll(playbackParts(state), wParam);
            else if (reinterpret_cast<HWND>(lParam) == state.playback.volumeSlider)
                onVolumeSliderScroll(playbackParts(state), wParam);
            return FALSE;
        case WM_HOTKEY:
            onHotKey(state, lParam);
            return FALSE;
        case WM_CONTEXTMENU:
            return onContextMenu(state, reinterpret_cast<HWND>(wParam), lParam);
        case WM_DRAWITEM:
            return onDrawItem(state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(state, reinterpret_cast<HDC>(wParam),
                                    reinterpret_cast<HWND>(lParam));
        case WM_UNINITMENUPOPUP:
            state.commands.buttonMenuLatch.clear();
            return FALSE;
        case WM_MOUSEWHEEL:
            return onMouseWheel(state, wParam, lParam);
        case WM_GETMINMAXINFO:
            onGetMinMaxInfo(state, *reinterpret_cast<MINMAXINFO*>(lParam));
            return FALSE;
        case WM_SIZING:
            onSizing(state, wParam, *reinterpret_cast<RECT*>(lParam));
            return FALSE;
        case WM_DPICHANGED:
            onDpiChanged(state, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return FALSE;
        case WM_SIZE:
            if (playerIsPlaying() || state.listRefreshPending)
                layOutWindow(state, state.listRefreshPending);
            return FALSE;
        case WM_MOUSEHOVER:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSELEAVE:
            onMouseMessage(state, message, wParam, lParam);
            return FALSE;
        case WM_LBUTTONDBLCLK:
            if (!onSplitterMessage(state, message, wParam, lParam)) {
                cycleDisplayMode(state);
                layOutWindow(state);
            }
            return FALSE;
        case WM_NCLBUTTONDOWN:
            SetFocus(window);
            return FALSE;
        case WM_CLOSE:
            DestroyWindow(window);
            return FALSE;
        case WM_DESTROY:
            onDestroy(state);
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void runOverdueDisplayTick(MainWindow& state) {
    // Three ticks missed: the timer is held back, not merely late.
    constexpr ULONGLONG kOverdueMilliseconds = 3 * kDisplayTimerMilliseconds;
    const ULONGLONG now = GetTickCount64();
    if (now - state.lastDisplayTick < kOverdueMilliseconds)
        return;
    state.lastDisplayTick = now;
    onDisplayTimer(playbackParts(state));
}

HWND createMainWindow(MainWindow& state, int showCommand) {
    HWND window = CreateDialogParamW(state.module, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     mainDialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (window)
        ShowWindow(window, showCommand);
    return window;
}

}  // namespace zav2
