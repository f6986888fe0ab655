#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_fonts.h"
#include "platform/dpi_win.h"

namespace zav2 {

void applyFont(HWND control, int sizePoints, StringView faceName, int style, ControlFont& owner) {
    const int pixels = fontPixelHeight(sizePoints, windowDpi(control));
    LOGFONTW description{};
    description.lfHeight = -pixels;
    description.lfWeight = fontWeight(style);
    description.lfItalic = fontItalic(style) ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_CHARACTER_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const size_t length = faceName.size() < kMaxFontName ? faceName.size() : kMaxFontName;
    for (size_t i = 0; i < length; ++i)
        description.lfFaceName[i] = faceName[i];
    description.lfFaceName[length] = L'\0';

    ControlFont font(CreateFontIndirectW(&description));
    if (!font)
        return;  // the control keeps the font it has
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    owner = std::move(font);  // releases the font the control used before
}

namespace {

// The row height for a list font `fontHeight` pixels high; 0 when unknown.
int rowHeightFor(HWND listBox, int fontHeight) {
    // The metrics come from a fresh DC's own font, not from the list's font.
    HDC dc = GetDC(listBox);
    if (!dc)
        return 0;
    TEXTMETRICW metrics{};
    const BOOL haveMetrics = GetTextMetricsW(dc, &metrics);
    ReleaseDC(listBox, dc);
    return haveMetrics ? listRowHeight(metrics.tmHeight, metrics.tmExternalLeading, fontHeight) : 0;
}

}  // namespace

void updateItemHeight(HWND listBox) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(listBox, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!font || GetObjectW(font, sizeof description, &description) == 0)
        return;
    const int height = rowHeightFor(listBox, description.lfHeight);
    if (height > 0)
        SendMessageW(listBox, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

int rowHeightAt96Dpi(HWND listBox, int sizePoints) {
    return rowHeightFor(listBox, -fontPixelHeight(sizePoints, 96));
}

}  // namespace zav2
