#include "ui/panel_clicks_win.h"

#include "engine/media_engine_player.h"

namespace zav2 {

namespace {

// The panel has text to scroll: a vertical scroll bar with a range.
bool panelCanScroll(HWND panel) {
    if (!(GetWindowLongPtrW(panel, GWL_STYLE) & WS_VSCROLL))
        return false;
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE;
    return GetScrollInfo(panel, SB_VERT, &scroll) && scroll.nMax != 0;
}

}  // namespace

void ClickToPause::release() {
    if (!pressed)
        return;
    pressed = false;
    MediaEnginePlayer& engine = player();
    switch (engine.GetState()) {
        case PlayerState::Playing:
            pausedByClick = SUCCEEDED(engine.Pause());
            break;
        case PlayerState::Paused:
            pausedByClick = false;
            engine.Play();
            break;
        default:
            pausedByClick = false;
            break;
    }
}

void ClickToPause::doubleClick() {
    if (pausedByClick) {
        pausedByClick = false;
        player().Play();
    }
}

bool takePanelInput(ClickToPause& toPause, HWND window, HWND textPanel, UINT message, WPARAM wParam,
                    LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            toPause.pressed = true;
            return false;
        case WM_LBUTTONUP:
            toPause.release();
            return false;
        case WM_LBUTTONDBLCLK:
            toPause.doubleClick();
            SendMessageW(window, message, wParam, lParam);
            return true;
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_KEYDOWN:
            if (panelCanScroll(textPanel)) {
                // The picture under the scrolled text is painted again.
                RECT outer{};
                GetWindowRect(window, &outer);
                PostMessageW(window, WM_SIZE, SIZE_RESTORED,
                             MAKELPARAM(outer.right - outer.left, outer.bottom - outer.top));
            } else {
                SendMessageW(window, message, wParam, lParam);
            }
            return false;
        default:
            return false;
    }
}

}  // namespace zav2
