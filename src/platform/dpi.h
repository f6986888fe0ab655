// Sizes across DPIs: pixels designed at 96 DPI at another DPI, the pixels
// of one DPI at another, and which drawn size of an icon to load.
#pragma once

namespace zav2 {

// `pixels` at `fromDpi`, at `toDpi`, rounded to the nearest pixel (half away
// from zero, as MulDiv rounds).
constexpr int scaledBetween(int pixels, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi)
        return pixels;
    const long long product = static_cast<long long>(pixels) * toDpi;
    const long long half = product >= 0 ? fromDpi / 2 : -(fromDpi / 2);
    return static_cast<int>((product + half) / fromDpi);
}

// Pixels designed at 96 DPI, at `dpi`, rounded to the nearest pixel.
// Inline, so the shell's icon loaders need no library for it.
constexpr int scaledPixels(int pixels, int dpi) {
    return scaledBetween(pixels, 96, dpi);
}

// The image sizes every icon resource holds (tools/make-icons.py draws them).
inline constexpr int kIconSizes[] = {14, 16, 18, 20, 21, 24, 28, 32};

// The icon size to load for one designed at `pixels` at 96 DPI: the drawn size
// nearest its scaled size (the smaller on a tie), so none is stretched.
constexpr int iconSize(int pixels, int dpi) {
    const int wanted = scaledPixels(pixels, dpi);
    int best = kIconSizes[0];
    for (const int size : kIconSizes) {
        const int distance = size > wanted ? size - wanted : wanted - size;
        const int bestDistance = best > wanted ? best - wanted : wanted - best;
        if (distance < bestDistance)
            best = size;
    }
    return best;
}

}  // namespace zav2
