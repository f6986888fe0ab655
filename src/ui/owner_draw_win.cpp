// The owner-drawn play list rows, with the current entry's picture behind
// them, and the two owner-drawn items of the open menu.
#include <windows.h>

#include "ui/controls_win.h"
#include "platform/dpi_win.h"
#include "playlist/playlist_view_win.h"
#include "resources/resource.h"
#include "ui/list_colors.h"
#include "ui/panel_geometry.h"
#include "ui/panel_pictures_win.h"
#include "ui/panel_state_win.h"

namespace zav2 {

namespace {

// The control's current font with weight 700; the caller owns it.
UniqueFont makeBoldFont(HWND control) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT),
                    sizeof description, &description)) {
        return nullptr;
    }
    description.lfWeight = FW_BOLD;
    return UniqueFont(CreateFontIndirectW(&description));
}

void fill(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Paints the row's strip of the picture scaled to the list's client area, so
// the picture stays put behind the visible rows. Only the strip is scaled:
// the same pixels as scaling the whole picture, for a fraction of the work.
bool drawWatermark(HDC dc, HBITMAP picture, const RECT& row, int stripBottom, const RECT& client,
                   COLORREF background) {
    const SIZE size = pictureSize(picture);
    const Box place = watermarkInList(size.cx, size.cy, client.right, client.bottom);
    const int width = row.right - row.left;
    const int height = stripBottom - row.top;
    if (place.width <= 0 || place.height <= 0 || width <= 0 || height <= 0)
        return false;
    HDC source = CreateCompatibleDC(dc);
    HDC strip = CreateCompatibleDC(dc);
    UniqueBitmap stripBitmap(source ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    bool drawn = false;
    if (source && strip && stripBitmap) {
        const HGDIOBJ previousSource = SelectObject(source, picture);
        const HGDIOBJ previousStrip = SelectObject(strip, stripBitmap.get());
        const RECT all{0, 0, width, height};
        fill(strip, all, background);
        SetStretchBltMode(strip, HALFTONE);
        SetBrushOrgEx(strip, 0, 0, nullptr);
        StretchBlt(strip, place.x - row.left, place.y - row.top, place.width, place.height, source,
                   0, 0, size.cx, size.cy, SRCCOPY);
        drawn = BitBlt(dc, row.left, row.top, width, height, strip, 0, 0, SRCCOPY) != 0;
        SelectObject(strip, previousStrip);
        SelectObject(source, previousSource);
    }
    if (strip)
        DeleteDC(strip);
    if (source)
        DeleteDC(source);
    return drawn;
}

}  // namespace

void drawListItem(const PlaylistView& list, const PanelState& panel, bool darkMode,
                  bool showPicture, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1))
        return;
    const int index = static_cast<int>(item.itemID);
    HDC dc = item.hDC;
    RECT client{};
    GetClientRect(item.hwndItem, &client);
    const ListColors colors = listColors(darkMode);

    RECT background = item.rcItem;
    if (index == list.playlist.lastIndex())
        background.bottom = client.bottom;  // area below
    const bool watermark = showPicture && panel.picture1 &&
                           drawWatermark(dc, panel.picture1.get(), item.rcItem, background.bottom,
                                         client, colors.background);
    if (!watermark)
        fill(dc, background, colors.background);
    SetTextColor(dc, colors.text);
    SetBkColor(dc, colors.background);
    SetBkMode(dc, watermark ? TRANSPARENT : OPAQUE);
    if (item.itemState & ODS_SELECTED) {
        fill(dc, item.rcItem, kSelectedRowBackground);
        SetTextColor(dc, kSelectedRowText);
        SetBkColor(dc, kSelectedRowBackground);
    }

    UniqueFont bold;
    HGDIOBJ previousFont = nullptr;
    if (index == list.playlist.current) {
        bold = makeBoldFont(item.hwndItem);
        if (bold)
            previousFont = SelectObject(dc, bold.get());
    }
    RECT textRect = item.rcItem;
    if (static_cast<size_t>(index) < list.rows.size()) {
        const String& text = list.rows[static_cast<size_t>(index)];
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_NOPREFIX | DT_VCENTER);
    }
    if (previousFont)
        SelectObject(dc, previousFont);
}

void drawOpenMenuItem(HWND window, HINSTANCE module, const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    const bool file = item.itemID == IDM_OPEN_FILE;
    // The small-icon size of the window's DPI, drawn from the image of that
    // size, not stretched from another.
    const UINT dpi = static_cast<UINT>(windowDpi(window));
    const int width = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    const int height = GetSystemMetricsForDpi(SM_CYSMICON, dpi);
    if (HICON icon =
            static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(file ? IDI_FILE : IDI_FOLDER),
                                          IMAGE_ICON, width, height, LR_LOADTRANSPARENT))) {
        DrawIconEx(dc, item.rcItem.left, item.rcItem.top, icon, width, height, 0, nullptr,
                   DI_NORMAL);
        DestroyIcon(icon);
    }
    RECT label = item.rcItem;
    label.left += GetSystemMetricsForDpi(SM_CYMENU, dpi);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, file ? L"ファイル" : L"フォルダ", -1, &label, DT_VCENTER);
}

}  // namespace zav2
