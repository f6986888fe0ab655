// Placing the video host in the panel, and the panel's background colour.
// The geometry is panel_geometry's; this file applies it.
#include <windows.h>

#include "engine/media_engine_player.h"
#include "ui/panel_geometry.h"
#include "ui/panel_state_win.h"
#include "ui/panel_win.h"

namespace zav2 {

namespace {

void fill(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

COLORREF panelBackground(bool darkMode) {
    return darkMode ? RGB(64, 64, 64) : GetSysColor(COLOR_BTNFACE);
}

void placeVideoHost(const PanelState& panel, int viewSize, bool darkMode) {
    MediaEnginePlayer& engine = player();
    const HWND host = panel.videoHost;
    if (!engine.HasVideo() || engine.GetState() == PlayerState::Stopped) {
        ShowWindow(host, SW_HIDE);
        return;
    }
    ShowWindow(host, SW_SHOWNA);
    DWORD videoWidth = 0;
    DWORD videoHeight = 0;
    engine.GetNativeVideoSize(&videoWidth, &videoHeight);
    if (videoWidth == 0 || videoHeight == 0 || videoWidth > 0x7FFF || videoHeight > 0x7FFF)
        return;
    RECT client{};
    GetClientRect(panel.textPanel, &client);
    const Box target = videoInPanel(static_cast<int>(videoWidth), static_cast<int>(videoHeight),
                                    client.right, client.bottom, viewSize);
    RECT now{};
    GetClientRect(host, &now);
    POINT origin{0, 0};
    MapWindowPoints(host, panel.textPanel, &origin, 1);
    if (origin.x != target.x || origin.y != target.y || now.right != target.width ||
        now.bottom != target.height) {
        MoveWindow(host, target.x, target.y, target.width, target.height, TRUE);
        engine.ResizeSurface(target.width, target.height);
        UpdateWindow(host);
    }
    if (HDC dc = GetDC(panel.textPanel)) {
        fill(dc, client, panelBackground(darkMode));
        ReleaseDC(panel.textPanel, dc);
    }
    RedrawWindow(panel.textPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace zav2
