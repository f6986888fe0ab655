// Painting the panel's picture under its text after a layout: where it goes
// depends on the layout's state, which the main window keeps.
// The engine's Media Foundation headers go first: mingw-w64's kernel-streaming
// header (pulled in by the endpoint-volume header) redefines types of theirs
// unless it comes second.
#include "engine/media_engine_player.h"
// clang-format off
#include "app/panel_picture_win.h"
#include "app/main_window_win.h"
#include "platform/dpi_win.h"
// clang-format on
#include <windows.h>

#include "ui/panel_geometry.h"
#include "ui/panel_pictures_win.h"
#include "ui/panel_win.h"

namespace zav2 {

namespace {

void fill(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The panel's inside in the main window's client coordinates: without the
// scroll bar and, unless in full screen, the border.
RECT panelInside(const MainWindow& state) {
    RECT panel{};
    GetWindowRect(state.panel.textPanel, &panel);
    MapWindowPoints(nullptr, state.window, reinterpret_cast<POINT*>(&panel), 2);
    const auto dpi = static_cast<UINT>(windowDpi(state.window));
    if (GetWindowLongPtrW(state.panel.textPanel, GWL_STYLE) & WS_VSCROLL)
        panel.right -= GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    if (state.displayMode != kFullScreenMode)
        InflateRect(&panel, -GetSystemMetricsForDpi(SM_CXEDGE, dpi),
                    -GetSystemMetricsForDpi(SM_CYEDGE, dpi));
    return panel;
}

bool listTakesWholeWidth(const MainWindow& state) {
    if (state.layout.listFillsWindow)
        return true;
    RECT client{};
    GetClientRect(state.window, &client);
    const int full = client.right - 2 * state.layout.constants.margin;
    return state.layout.constantsKnown && state.settings.ListWidth == full;
}

void drawPicture(HDC dc, HBITMAP picture, const RECT& inside, int viewSize) {
    const SIZE size = pictureSize(picture);
    const Box panel{inside.left, inside.top, inside.right - inside.left,
                    inside.bottom - inside.top};
    const PictureDraw draw = pictureInPanel(size.cx, size.cy, panel, viewSize);
    if (draw.target.width <= 0 || draw.target.height <= 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    const HGDIOBJ previous = SelectObject(memory, picture);
    // A cropped picture may be a pixel wider than the panel: never past it.
    IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    if (draw.halftone) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, BLACKONWHITE);
    }
    StretchBlt(dc, draw.target.x, draw.target.y, draw.target.width, draw.target.height, memory,
               draw.source.x, draw.source.y, draw.source.width, draw.source.height, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

}  // namespace

void paintPanelPicture(MainWindow& state) {
    if (!state.panel.textPanel || !IsWindowVisible(state.panel.textPanel))
        return;
    const RECT inside = panelInside(state);
    HDC dc = GetDC(state.window);
    if (!dc)
        return;
    fill(dc, inside, panelBackground(state.settings.DarkMode == 1));
    const bool drawn = state.settings.ShowBitmapText == 1 && state.panel.picture1 &&
                       state.panel.picture2 && !listTakesWholeWidth(state);
    if (drawn)
        drawPicture(dc, state.panel.picture2.get(), inside, state.settings.ViewSize);
    ReleaseDC(state.window, dc);
    // The fill covered the panel's text too (the dialog does not clip its
    // children): the text is drawn again, with or without a picture under it.
    InvalidateRect(state.panel.textPanel, nullptr, TRUE);
    UpdateWindow(state.panel.textPanel);
}

}  // namespace zav2
