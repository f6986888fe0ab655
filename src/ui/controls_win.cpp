// The subclassed controls: the seek bar and volume slider's wheel, the text
// panel's click to pause and its hand-offs to the main window, the list box's
// single-click play and Shift-drag. (The video host has its own file.)
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "resources/resource.h"
#include "ui/command_rules.h"
#include "ui/controls_win.h"
#include "playlist/playlist_view_win.h"
#include "playlist/playlist_win.h"
#include "ui/panel_clicks_win.h"
#include "ui/panel_state_win.h"

namespace zav2 {

namespace {

constexpr UINT_PTR kSubclassId = 1;

// What the text panel remembers between messages.
struct PanelClicks {
    HWND window = nullptr;  // the main window
    POINT lastPointer{LONG_MIN, LONG_MIN};
    ClickToPause toPause;
};

HCURSOR arrowCursor() {
    return LoadCursorW(nullptr, IDC_ARROW);
}

LRESULT CALLBACK seekBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == WM_MOUSEWHEEL)
        return 0;  // the wheel never moves the playback position
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK volumeSliderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR) {
    if (message == WM_MOUSEWHEEL) {
        wParam = static_cast<WPARAM>(reversedWheelWParam(static_cast<uint64_t>(wParam)));
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK textPanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
    auto& clicks = *reinterpret_cast<PanelClicks*>(data);
    if (takePanelInput(clicks.toPause, clicks.window, window, message, wParam, lParam))
        return 0;
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(arrowCursor());  // never the text cursor
            return TRUE;
        case WM_MOUSEMOVE: {
            POINT pointer{};
            GetCursorPos(&pointer);
            if (pointer.x != clicks.lastPointer.x || pointer.y != clicks.lastPointer.y) {
                clicks.lastPointer = pointer;
                clicks.toPause.pressed = false;  // selecting text, not clicking
            }
            break;
        }
        case WM_CONTEXTMENU:
            SendMessageW(clicks.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), lParam);
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, textPanelProcedure, kSubclassId);
            std::unique_ptr<PanelClicks>(&clicks).reset();  // the panel owned it
            return DefSubclassProc(window, message, wParam, lParam);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The list box's item at a point of its client area, and whether it is
// selected. Below the last row is the last.
struct ListItem {
    int index = 0;
    bool selected = false;
};
ListItem listItemAtPoint(HWND listBox, LPARAM point) {
    const RowAtPoint hit = listRowAtPoint(listBox, {GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    ListItem item;
    item.index = hit.row < 0 ? 0 : hit.row;
    item.selected = SendMessageW(listBox, LB_GETSEL, item.index, 0) > 0;
    return item;
}

struct ListBoxSubclass {
    const int& singleClickMode;
    const std::vector<String>& rows;
};

// The text of row `index` for LB_GETTEXT and LB_GETTEXTLEN (with a null
// buffer), or LB_ERR.
LRESULT answerRowText(const std::vector<String>& rows, WPARAM index, Char* buffer) {
    if (index >= rows.size())
        return LB_ERR;
    const String& text = rows[index];
    if (buffer)
        std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer);
    return static_cast<LRESULT>(text.size());
}

LRESULT CALLBACK listBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    const ListBoxSubclass& subclass = *reinterpret_cast<const ListBoxSubclass*>(data);
    const int& singleClickMode = subclass.singleClickMode;
    // The list box is a child of the main window.
    const HWND mainWindow = GetParent(window);
    switch (message) {
        // The box keeps no texts; other programs (screen readers, tests)
        // still ask it for them.
        case LB_GETTEXT:
            return answerRowText(subclass.rows, wParam, reinterpret_cast<Char*>(lParam));
        case LB_GETTEXTLEN:
            return answerRowText(subclass.rows, wParam, nullptr);
        case WM_KEYDOWN:
        case WM_VSCROLL:
        case WM_MOUSEWHEEL: {
            SendMessageW(mainWindow, message, wParam, lParam);
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            // Every row and the picture behind them are drawn again after a scroll.
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_LBUTTONDOWN:
            if (wParam & MK_SHIFT) {
                const ListItem item = listItemAtPoint(window, lParam);
                // The main window starts the drag from its own coordinates.
                POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                MapWindowPoints(window, mainWindow, &point, 1);
                SendMessageW(mainWindow, message, wParam, MAKELPARAM(point.x, point.y));
                if (item.selected)
                    return 0;  // the selection stays whole
            }
            break;
        case WM_LBUTTONUP:
            if (singleClickMode == 1 && listItemAtPoint(window, lParam).selected)
                SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_DBLCLK), 0);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, listBoxProcedure, kSubclassId);
            delete &subclass;
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void subclassSeekBar(HWND seekBar) {
    SetWindowSubclass(seekBar, seekBarProcedure, kSubclassId, 0);
}

void subclassVolumeSlider(HWND volumeSlider) {
    SetWindowSubclass(volumeSlider, volumeSliderProcedure, kSubclassId, 0);
}

void subclassPanelAndList(HWND window, const PanelState& panel, const PlaylistView& list,
                          const int& singleClickMode) {
    auto clicks = std::make_unique<PanelClicks>();
    clicks->window = window;
    // The panel owns its state from here until WM_NCDESTROY.
    if (SetWindowSubclass(panel.textPanel, textPanelProcedure, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(clicks.get()))) {
        clicks.release();
    }
    auto subclass = std::make_unique<ListBoxSubclass>(ListBoxSubclass{singleClickMode, list.rows});
    if (SetWindowSubclass(list.listBox, listBoxProcedure, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(subclass.get()))) {
        subclass.release();
    }
    // A box without data answers other processes' LB_GETTEXT with its item
    // data unless its style says it has strings; the subclass answers with
    // the row's text. The box itself read its style when it was created.
    SetWindowLongPtrW(list.listBox, GWL_STYLE,
                      GetWindowLongPtrW(list.listBox, GWL_STYLE) | LBS_HASSTRINGS);
}

}  // namespace zav2
