#include "settings/settings_fonts.h"

#include <climits>

namespace zav2 {

int fontPixelHeight(int points, int dpi) {
    const int64_t product = static_cast<int64_t>(points) * dpi;
    const int64_t magnitude = (product < 0 ? -product : product) + 36;  // half of 72
    const int64_t rounded = magnitude / 72;
    const int64_t value = product < 0 ? -rounded : rounded;
    if (value > INT_MAX || value < -INT_MAX)
        return -1;
    return static_cast<int>(value);
}

int fontWeight(int style) {
    return (style & kFontStyleBold) ? 700 : 400;
}

bool fontItalic(int style) {
    return (style & kFontStyleItalic) != 0;
}

int listRowHeight(int defaultFontHeight, int defaultExternalLeading, int listFontHeight) {
    if (defaultFontHeight <= 0)
        return 0;
    // The list font's height is a character height (negative); its size is
    // what matters here.
    const double pixels = listFontHeight < 0 ? -static_cast<double>(listFontHeight)
                                             : static_cast<double>(listFontHeight);
    const double height =
        (defaultFontHeight + 2.0 * defaultExternalLeading) * (pixels / defaultFontHeight);
    if (!(height >= 1.0))
        return 1;
    if (height >= 255.0)
        return 255;
    return static_cast<int>(height);
}

}  // namespace zav2
