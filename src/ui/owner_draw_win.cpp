// The owner-drawn play list rows and the two owner-drawn items of the open
// menu. The current entry's picture behind the rows arrives with the panel;
// until then picture 1 is always empty and rows get the plain background.
#include <windows.h>

#include "app/subsystem_calls_win.h"
#include "resources/resource.h"
#include "ui/list_colors.h"

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

}  // namespace

void drawListItem(MainWindow& state, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1))
        return;
    const int index = static_cast<int>(item.itemID);
    HDC dc = item.hDC;
    RECT client{};
    GetClientRect(item.hwndItem, &client);
    const ListColors colors = listColors(state.settings.DarkMode == 1);

    RECT background = item.rcItem;
    if (index == state.playlist.lastIndex())
        background.bottom = client.bottom;  // area below
    fill(dc, background, colors.background);
    SetTextColor(dc, colors.text);
    SetBkColor(dc, colors.background);
    if (item.itemState & ODS_SELECTED) {
        fill(dc, item.rcItem, kSelectedRowBackground);
        SetTextColor(dc, kSelectedRowText);
        SetBkColor(dc, kSelectedRowBackground);
    }

    UniqueFont bold;
    HGDIOBJ previousFont = nullptr;
    if (index == state.playlist.current) {
        bold = makeBoldFont(item.hwndItem);
        if (bold)
            previousFont = SelectObject(dc, bold.get());
    }
    Char text[260] = {};
    const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, index, 0);
    if (length >= 0 && length < static_cast<LRESULT>(std::size(text))) {
        SendMessageW(item.hwndItem, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    }
    RECT textRect = item.rcItem;
    DrawTextW(dc, text, -1, &textRect, DT_NOPREFIX | DT_VCENTER);
    if (previousFont)
        SelectObject(dc, previousFont);
}

void drawOpenMenuItem(MainWindow& state, const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    const bool file = item.itemID == IDM_OPEN_FILE;
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    if (HICON icon = static_cast<HICON>(
            LoadImageW(state.module, MAKEINTRESOURCEW(file ? IDI_FILE : IDI_FOLDER), IMAGE_ICON,
                       iconSize, GetSystemMetrics(SM_CYSMICON), LR_LOADTRANSPARENT))) {
        DrawIconEx(dc, item.rcItem.left, item.rcItem.top, icon, iconSize,
                   GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    RECT label = item.rcItem;
    label.left += GetSystemMetrics(SM_CYMENU);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, file ? L"ファイル" : L"フォルダ", -1, &label, DT_VCENTER);
}

}  // namespace zav2
