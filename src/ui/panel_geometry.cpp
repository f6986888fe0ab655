#include "ui/panel_geometry.h"

#include <algorithm>
#include <cmath>

namespace zav2 {

namespace {

// The crop of an unscaled picture larger than the panel, on one axis.
int cropOffset(int picture, int panel) {
    const int offset = (picture - panel) / 2;
    return offset < 1 ? 0 : offset;
}

int wholeFactor(double sx, double sy) {
    return std::max(1, static_cast<int>(std::min(std::floor(sx), std::floor(sy))));
}

}  // namespace

PictureDraw pictureInPanel(int bw, int bh, const Box& panel, int viewSize) {
    const int pw = panel.width;
    const int ph = panel.height;
    if (bw <= 0 || bh <= 0 || pw <= 0 || ph <= 0)
        return {};
    const double sx = static_cast<double>(pw) / bw;
    const double sy = static_cast<double>(ph) / bh;
    PictureDraw draw;
    if (viewSize == kViewOriginal || viewSize == kViewMultiple) {
        const int k = viewSize == kViewMultiple ? wholeFactor(sx, sy) : 1;
        const int ox = cropOffset(bw, pw);
        const int oy = cropOffset(bh, ph);
        draw.source = {ox, oy, bw - 2 * ox, bh - 2 * oy};
        const int dx = panel.x + (pw - bw * k) / 2;
        const int dy = panel.y + (ph - bh * k) / 2;
        draw.target = {std::max(panel.x, dx), std::max(panel.y, dy), draw.source.width * k,
                       draw.source.height * k};
        return draw;
    }
    draw.halftone = true;
    draw.source = {0, 0, bw, bh};
    if (sx < sy) {
        const int height = static_cast<int>(bh * sx);
        draw.target = {panel.x, panel.y + (ph - height) / 2, pw, height};
    } else {
        const int width = static_cast<int>(bw * sy);
        draw.target = {panel.x + (pw - width) / 2, panel.y, width, ph};
    }
    return draw;
}

Box videoInPanel(int vw, int vh, int cw, int ch, int viewSize) {
    if (vw <= 0 || vh <= 0)
        return {};
    if (viewSize == kViewOriginal || viewSize == kViewMultiple) {
        const int k = viewSize == kViewMultiple
                          ? wholeFactor(static_cast<double>(cw) / vw, static_cast<double>(ch) / vh)
                          : 1;
        return {(cw - vw * k) / 2, (ch - vh * k) / 2, vw * k, vh * k};
    }
    int fw = cw;
    int fh = ch;
    if (static_cast<double>(ch) / vh >= static_cast<double>(cw) / vw)
        fh = static_cast<int>(static_cast<double>(vh) * cw / vw + 0.5);
    else
        fw = static_cast<int>(static_cast<double>(vw) * ch / vh + 0.5);
    return {(cw - fw) / 2, (ch - fh) / 2, fw, fh};
}

Box watermarkInList(int bw, int bh, int cw, int ch) {
    if (bw <= 0 || bh <= 0 || cw <= 0 || ch <= 0)
        return {};
    const double sx = static_cast<double>(cw) / bw;
    const double sy = static_cast<double>(ch) / bh;
    if (sy > sx)
        return {0, 0, cw, static_cast<int>(bh * sx)};
    const int width = static_cast<int>(bw * sy);
    return {(cw - width) / 2, 0, width, ch};
}

void fadePixels(uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        uint8_t* pixel = pixels + 4 * i;
        for (int channel = 0; channel < 3; ++channel) {
            const int v = pixel[channel];
            pixel[channel] = static_cast<uint8_t>(v + static_cast<int>((255 - v) * 0.8));
        }
    }
}

bool acceptablePictureSize(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxPicturePixels &&
           height <= kMaxPicturePixels / width;
}

namespace {

uint32_t bigEndian(std::string_view bytes, size_t at, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

bool isFrameHeader(unsigned char marker) {
    // SOF0 ... SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

bool pictureHeaderAcceptable(std::string_view b) {
    if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8) &&
        b.substr(12, 4) == "IHDR") {
        return acceptablePictureSize(bigEndian(b, 16, 4), bigEndian(b, 20, 4));
    }
    if (b.size() < 4 || b.substr(0, 2) != "\xFF\xD8")
        return true;
    // JPEG: segments after the start of image, each with a 16-bit length.
    size_t at = 2;
    while (at + 4 <= b.size() && static_cast<unsigned char>(b[at]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const uint32_t length = bigEndian(b, at + 2, 2);
        if (isFrameHeader(marker)) {
            if (at + 9 > b.size())
                return true;
            return acceptablePictureSize(bigEndian(b, at + 7, 2), bigEndian(b, at + 5, 2));
        }
        if (marker == 0xDA || length < 2)  // image data, or a broken length
            return true;
        at += 2 + length;
    }
    return true;
}

}  // namespace zav2
