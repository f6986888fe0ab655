// The main window's layout: reads the windows' rectangles, asks the layout
// geometry where things go and moves the windows there; the splitter between
// the panes, the size limits and the display modes.
#include <windows.h>

#include <cstring>

#include "app/layout.h"
#include "settings/settings_fonts.h"
#include "app/layout_calls_win.h"
#include "ui/panel_win.h"
#include "app/main_window_win.h"
#include "app/panel_picture_win.h"
#include "platform/dpi_win.h"
#include "resources/resource.h"
#include "ui/command_rules.h"

namespace zav2 {

namespace {

Edges edgesOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT clientRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

// A child's place in its parent's client area.
Placement childPlacement(HWND parent, HWND child) {
    RECT r = windowRect(child);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void moveTo(HWND window, const Placement& p) {
    MoveWindow(window, p.x, p.y, p.width, p.height, TRUE);
}

// The constants need the template's rectangles, which the dialog takes only
// when its player is ready; until then there is nothing to lay out.
bool ensureConstants(MainWindow& state) {
    LayoutState& layout = state.layout;
    if (layout.constantsKnown)
        return true;
    if (!state.window || !state.list.listBox ||
        state.templateWindowRect.right <= state.templateWindowRect.left)
        return false;
    // The play-mode button never moves, so its offset from the window's left
    // edge is the template's as long as the window has its normal frame.
    const HWND modeButton = GetDlgItem(state.window, IDC_MODE_BUTTON);
    if (!modeButton || state.displayMode == kFullScreenMode)
        return false;
    const int modeButtonOffset = windowRect(modeButton).right - windowRect(state.window).left;
    layout.constants = layoutConstants(
        edgesOf(state.templateWindowRect), edgesOf(state.templateClientRect),
        edgesOf(state.templateListRect), state.templateWindowRect.left + modeButtonOffset);
    layout.constantsKnown = true;
    return true;
}

int clientWidthOf(const MainWindow& state) {
    return clientRect(state.window).right;
}

void showListIcon(MainWindow& state, int iconId) {
    setButtonIcon(state.window, IDC_LIST_BUTTON, state.module, iconId);
}

void showCurrentListIcon(MainWindow& state) {
    showListIcon(state, listToggleIcon(state.settings.ListWidth, state.layout.listFillsWindow,
                                       state.settings.LeftList == 1));
}

// The system-DPI declaration lives in shcore, which is looked up when needed
// so the program does not depend on it at load time.
void declareSystemDpiAware() {
    using SetAwareness = HRESULT(WINAPI*)(int);
    HMODULE shcore = GetModuleHandleW(L"shcore.dll");
    if (!shcore)
        shcore = LoadLibraryW(L"shcore.dll");
    if (!shcore)
        return;
    const auto address = GetProcAddress(shcore, "SetProcessDpiAwareness");
    if (!address)
        return;
    SetAwareness setAwareness;
    static_assert(sizeof setAwareness == sizeof address);
    std::memcpy(&setAwareness, &address, sizeof address);
    constexpr int kSystemDpiAware = 1;  // PROCESS_SYSTEM_DPI_AWARE
    setAwareness(kSystemDpiAware);      // repeated calls are refused harmlessly
}

MONITORINFO nearestMonitor(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

constexpr int kFullScreenHidden[] = {IDC_OPEN_BUTTON,     IDC_PLAY_BUTTON, IDC_STOP_BUTTON,
                                     IDC_PREVIOUS_BUTTON, IDC_NEXT_BUTTON, IDC_MODE_BUTTON,
                                     IDC_TOPMOST_BUTTON,  IDC_LIST_BUTTON};

void showFullScreenHidden(MainWindow& state, int command) {
    for (int id : kFullScreenHidden)
        ShowWindow(GetDlgItem(state.window, id), command);
    for (HWND control : {state.playback.timeText, state.playback.volumeSlider,
                         state.playback.seekBar, state.list.listBox})
        ShowWindow(control, command);
}

constexpr LONG_PTR kFrameStyles =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void setStyles(HWND window, int index, LONG_PTR remove, LONG_PTR add) {
    SetWindowLongPtrW(window, index, (GetWindowLongPtrW(window, index) & ~remove) | add);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void enterFullScreen(MainWindow& state) {
    // Leaving the maximised state here, not just the frame: a window that
    // stays maximised keeps its maximised size under Wine instead of taking
    // the monitor's. The way back goes to the rectangle taken at maximising.
    const LONG_PTR style = GetWindowLongPtrW(state.window, GWL_STYLE);
    SetWindowLongPtrW(state.window, GWL_STYLE, (style & ~(kFrameStyles | WS_MAXIMIZE)) | WS_POPUP);
    declareSystemDpiAware();
    const RECT monitor = nearestMonitor(state.window).rcMonitor;
    const int width = monitor.right - monitor.left;
    const int height = monitor.bottom - monitor.top;
    SetWindowPos(state.window, nullptr, monitor.left, monitor.top, width, height,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    showFullScreenHidden(state, SW_HIDE);
    setStyles(state.panel.textPanel, GWL_EXSTYLE, WS_EX_CLIENTEDGE, 0);
    MoveWindow(state.panel.textPanel, 0, 0, width, height, TRUE);
}

void leaveFullScreen(MainWindow& state) {
    setStyles(state.window, GWL_STYLE, WS_POPUP, kFrameStyles);
    setStyles(state.panel.textPanel, GWL_EXSTYLE, 0, WS_EX_CLIENTEDGE);
    showFullScreenHidden(state, SW_SHOW);
    ShowWindow(state.window, SW_RESTORE);
    const Edges& normal = state.layout.normalWindow;
    if (normal.width() > 0 && normal.height() > 0) {
        SetWindowPos(state.window, nullptr, normal.left, normal.top, normal.width(),
                     normal.height(), SWP_NOZORDER | SWP_FRAMECHANGED);
    }
}

void placeRightHandControls(MainWindow& state, const LayoutConstants& c, bool refreshInput) {
    const HWND topMost = GetDlgItem(state.window, IDC_TOPMOST_BUTTON);
    const HWND listButton = GetDlgItem(state.window, IDC_LIST_BUTTON);
    const int clientWidth = clientWidthOf(state);
    if (!showRightHandControls(c, clientWidth, refreshInput)) {
        ShowWindow(topMost, SW_HIDE);
        ShowWindow(listButton, SW_HIDE);
        ShowWindow(state.playback.timeText, SW_HIDE);
        return;
    }
    const RightHandControls places =
        placeRightHandControls(c, clientWidth, childPlacement(state.window, topMost),
                               childPlacement(state.window, listButton),
                               childPlacement(state.window, state.playback.timeText),
                               childPlacement(state.window, state.playback.seekBar));
    moveTo(topMost, places.topMostButton);
    ShowWindow(topMost, SW_SHOW);
    moveTo(listButton, places.listButton);
    ShowWindow(listButton, SW_SHOW);
    // Hidden and frozen while it moves, so no half-drawn read-out is left behind.
    SendMessageW(state.playback.timeText, WM_SETREDRAW, FALSE, 0);
    ShowWindow(state.playback.timeText, SW_HIDE);
    moveTo(state.playback.timeText, places.timeText);
    SendMessageW(state.playback.timeText, WM_SETREDRAW, TRUE, 0);
    ShowWindow(state.playback.timeText, SW_SHOW);
    Placement seek = childPlacement(state.window, state.playback.seekBar);
    seek.width = places.seekBarWidth;
    moveTo(state.playback.seekBar, seek);
}

ListRows measureListRows(const MainWindow& state) {
    RECT list{};
    GetClientRect(state.list.listBox, &list);
    const LRESULT rowHeight = SendMessageW(state.list.listBox, LB_GETITEMHEIGHT, 0, 0);
    return {windowRect(state.window).bottom - windowRect(state.window).top - list.bottom,
            rowHeight > 0 && rowHeight != LB_ERR ? static_cast<int>(rowHeight) : 0,
            rowHeightAt96Dpi(state.list.listBox, state.settings.listFontSize)};
}

// The pane whose left edge is the boundary.
HWND rightHandPane(const MainWindow& state) {
    return state.settings.LeftList == 1 ? state.panel.textPanel : state.list.listBox;
}

ListWidths listWidths(const MainWindow& state) {
    return {state.settings.ListWidth, state.settings.DefaultListWidth};
}

void storeSplitter(MainWindow& state, const SplitterState& splitter) {
    state.settings.ListWidth = splitter.widths.listWidth;
    state.settings.DefaultListWidth = splitter.widths.defaultListWidth;
    state.layout.listFillsWindow = splitter.listFillsWindow;
}

void dragSplitter(MainWindow& state) {
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(state.window, &cursor);
    storeSplitter(state, dragBoundary(state.layout.constants, clientWidthOf(state), cursor.x,
                                      state.settings.LeftList == 1, listWidths(state)));
    showCurrentListIcon(state);
    layOutWindow(state);
}

void hoverSplitter(MainWindow& state, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(state.window, &point);
    if (onPaneBoundary(edgesOf(windowRect(rightHandPane(state))), point.x, point.y)) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        state.layout.splitterHover = true;
    }
}

void toggleListAtBoundary(MainWindow& state) {
    const SplitterState toggled =
        toggleList(state.layout.constants, clientWidthOf(state), listWidths(state));
    state.settings.ListWidth = toggled.widths.listWidth;
    state.layout.listFillsWindow = false;
    layOutWindow(state);
    state.layout.listFillsWindow = toggled.listFillsWindow;
    showCurrentListIcon(state);
}

}  // namespace

void layOutWindow(MainWindow& state, bool refreshInput) {
    if (!ensureConstants(state))
        return;
    const LayoutConstants& c = state.layout.constants;
    const HWND focus = GetFocus();
    const RECT client = clientRect(state.window);
    const int cw = client.right;
    const int ch = client.bottom;
    const RECT strips[] = {
        {0, c.top, c.margin, ch}, {0, ch - c.margin, cw, ch}, {cw - c.margin, c.top, cw, ch}};
    for (const RECT& strip : strips)
        InvalidateRect(state.window, &strip, TRUE);

    const PaneLayout panes =
        layOutPanes(c, cw, ch, state.settings.ListWidth, state.settings.LeftList == 1,
                    state.layout.listFillsWindow);
    if (panes.fillsWindow)
        showListIcon(state, kListFullIcon);
    const bool fullScreen = state.displayMode == kFullScreenMode;
    if (!fullScreen) {
        moveTo(state.list.listBox, panes.list);
        moveTo(state.panel.textPanel, panes.panel);
    }
    placeVideoHost(state.panel, state.settings.ViewSize, state.settings.DarkMode == 1);
    if (!fullScreen) {
        placeRightHandControls(state, c, refreshInput);
        state.layout.rows = measureListRows(state);
    }
    if (focus && IsWindow(focus))
        SetFocus(focus);
    paintPanelPicture(state);
}

namespace {

// Every control keeps its place relative to the template: its rectangle
// scaled, set outright so nothing depends on whether the system moved it.
void scaleControls(MainWindow& state, int fromDpi, int toDpi) {
    for (HWND child = GetWindow(state.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const Placement place =
            scaledPlacement(childPlacement(state.window, child), fromDpi, toDpi);
        SetWindowPos(child, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void scaleSize(RECT& r, int fromDpi, int toDpi) {
    r.right = r.left + scaledBetween(r.right - r.left, fromDpi, toDpi);
    r.bottom = r.top + scaledBetween(r.bottom - r.top, fromDpi, toDpi);
}

// The template's font (the time read-out's and the buttons') at the new DPI;
// the list and the text panel have fonts of their own.
void scaleDialogFont(MainWindow& state, int fromDpi, int toDpi) {
    const auto current =
        reinterpret_cast<HFONT>(SendMessageW(state.playback.timeText, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!current || !GetObjectW(current, sizeof description, &description))
        return;
    description.lfHeight = scaledBetween(description.lfHeight, fromDpi, toDpi);
    UniqueFont font(CreateFontIndirectW(&description));
    if (!font)
        return;
    for (HWND child = GetWindow(state.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != state.list.listBox && child != state.panel.textPanel)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    state.layout.dialogFont = std::move(font);  // frees the one made at the last change
}

}  // namespace

void onDpiChanged(MainWindow& state, int dpi, const RECT& suggested) {
    const int previous = windowDpi(state.window);
    if (dpi <= 0)
        return;
    rememberWindowDpi(state.window, dpi);
    if (previous != dpi) {
        scaleControls(state, previous, dpi);
        scaleDialogFont(state, previous, dpi);
        LayoutState& layout = state.layout;
        if (layout.constantsKnown)
            layout.constants = scaledConstants(layout.constants, previous, dpi);
        for (RECT* r :
             {&state.templateWindowRect, &state.templateClientRect, &state.templateListRect})
            scaleSize(*r, previous, dpi);
        Settings& s = state.settings;
        RECT& saved = state.savedWindowRect;
        const KeptSizes kept = scaledKeptSizes({s.width,
                                                s.height,
                                                s.ListWidth,
                                                s.DefaultListWidth,
                                                {saved.left, saved.top, saved.right, saved.bottom},
                                                layout.normalWindow},
                                               previous, dpi);
        s.width = kept.width;
        s.height = kept.height;
        s.ListWidth = kept.listWidth;
        s.DefaultListWidth = kept.defaultListWidth;
        saved = {kept.savedWindow.left, kept.savedWindow.top, kept.savedWindow.right,
                 kept.savedWindow.bottom};
        layout.normalWindow = kept.normalWindow;
    }
    SetWindowPos(state.window, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    reloadButtonIcons(state.window, state.module);
    updateThumbnailButtons(taskbarOwner(state));
    const Settings& s = state.settings;
    applyFont(state.list.listBox, s.listFontSize, s.listFontName, s.listFontStyle,
              state.fonts.list);
    updateItemHeight(state.list.listBox);
    applyFont(state.panel.textPanel, s.textFontSize, s.textFontName, s.textFontStyle,
              state.fonts.text);
    layOutWindow(state);
    InvalidateRect(state.window, nullptr, TRUE);
}

void keepListRows(MainWindow& state) {
    const int dpi = windowDpi(state.window);
    if (dpi == 96 || state.displayMode != kNormalMode || !state.layout.constantsKnown)
        return;
    const RECT now = windowRect(state.window);
    // The height the file holds, in 96-DPI pixels (scaling it up and back
    // down is exact).
    const int saved = scaledBetween(state.settings.height, dpi, 96);
    const int height = heightForRows(saved, dpi, state.layout.rows);
    if (height == now.bottom - now.top)
        return;
    SetWindowPos(state.window, nullptr, 0, 0, now.right - now.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOutWindow(state);
}

void cycleDisplayMode(MainWindow& state) {
    state.displayMode = nextDisplayMode(state.displayMode);
    switch (state.displayMode) {
        case kMaximisedMode:
            GetWindowRect(state.window, &state.savedWindowRect);
            state.layout.normalWindow = edgesOf(state.savedWindowRect);
            ShowWindow(state.window, SW_SHOWMAXIMIZED);
            break;
        case kFullScreenMode:
            enterFullScreen(state);
            break;
        default:
            leaveFullScreen(state);
            break;
    }
    RedrawWindow(state.panel.textPanel, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool onSplitterMessage(MainWindow& state, UINT message, WPARAM, LPARAM lParam) {
    LayoutState& layout = state.layout;
    // In full screen the panel covers the client area: there is no boundary.
    if (!layout.constantsKnown || state.displayMode == kFullScreenMode)
        return false;
    switch (message) {
        case WM_MOUSEHOVER:
            hoverSplitter(state, lParam);
            return false;
        case WM_MOUSELEAVE:
            layout.splitterHover = false;
            return false;
        case WM_LBUTTONDOWN:
            if (!layout.splitterHover)
                return false;
            SetCapture(state.window);
            layout.splitterDrag = true;
            return true;
        case WM_MOUSEMOVE:
            layout.splitterHover = false;
            if (!layout.splitterDrag)
                return false;
            dragSplitter(state);
            return true;
        case WM_LBUTTONUP:
            if (layout.splitterDrag && GetCapture() == state.window)
                ReleaseCapture();
            layout.splitterDrag = false;
            return false;
        case WM_LBUTTONDBLCLK:
            if (!layout.splitterHover)
                return false;
            toggleListAtBoundary(state);
            return true;
    }
    return false;
}

void onGetMinMaxInfo(MainWindow& state, MINMAXINFO& info) {
    if (!ensureConstants(state))
        return;
    declareSystemDpiAware();
    const RECT work = nearestMonitor(state.window).rcWork;
    const auto dpi = static_cast<UINT>(windowDpi(state.window));
    const Size maximised = maximisedSize(edgesOf(work), GetSystemMetricsForDpi(SM_CXSIZEFRAME, dpi),
                                         GetSystemMetricsForDpi(SM_CYSIZEFRAME, dpi));
    info.ptMaxSize = {maximised.width, maximised.height};
    info.ptMaxTrackSize = info.ptMaxSize;
    const LONG panelOffset = windowRect(state.panel.textPanel).top - windowRect(state.window).top;
    info.ptMinTrackSize = {state.layout.constants.minimumWidth,
                           panelOffset + state.layout.constants.margin};
}

void onSizing(MainWindow& state, WPARAM, RECT& rect) {
    if (!ensureConstants(state))
        return;
    const LayoutConstants& c = state.layout.constants;
    const ListWidths widths = shrinkListToClient(c, clientWidthOf(state), listWidths(state));
    state.settings.ListWidth = widths.listWidth;
    state.settings.DefaultListWidth = widths.defaultListWidth;
    rect.right = rect.left + snapWindowWidth(c, rect.right - rect.left);
}

}  // namespace zav2
