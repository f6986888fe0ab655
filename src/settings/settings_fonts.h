// The two user fonts (text panel and list): how a font is built from its
// size, face and style settings, and how the list's row height follows it.
#pragma once

#include <cstdint>

#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <type_traits>
#endif

namespace zav2 {

// Style bits as the font dialog reports them; other bits are kept and ignored.
inline constexpr int kFontStyleBold = 0x100;
inline constexpr int kFontStyleItalic = 0x200;

// Points to pixels at `dpi`, rounded as MulDiv rounds (half away from zero);
// -1 when the result does not fit, as MulDiv answers.
int fontPixelHeight(int points, int dpi);
int fontWeight(int style);  // 700 with the bold bit, else 400
bool fontItalic(int style);

// Row height of the list: the default window font's height plus twice its
// external leading, scaled by the list font's pixel height over that height,
// truncated. Kept within what a list box accepts (1 ... 255); 0 when the
// metrics are unusable and the row height should be left alone.
int listRowHeight(int defaultFontHeight, int defaultExternalLeading, int listFontHeight);

#ifdef _WIN32
struct FontDeleter {
    void operator()(HFONT font) const {
        if (font)
            DeleteObject(font);
    }
};
// The font a control uses: it stays alive while the control shows it and is
// released when the next font for that control replaces it.
using ControlFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// Builds the font for `control` (size in points at the control's vertical
// DPI, face of at most 31 units, style bits) and sets it without redrawing;
// `owner` then holds it and releases the control's previous one.
void applyFont(HWND control, int sizePoints, StringView faceName, int style, ControlFont& owner);
// Sets the list box's fixed row height from its current font.
void updateItemHeight(HWND listBox);
// The row height the list font of `sizePoints` would have at 96 DPI.
int rowHeightAt96Dpi(HWND listBox, int sizePoints);
#endif

}  // namespace zav2
