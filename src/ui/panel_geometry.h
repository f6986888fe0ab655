// Where the panel draws a picture or puts the video, and the picture rules
// that do not need a window: lightening and the size bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zav2 {

// `ViewSize`: how a picture or the video is sized in the panel.
enum ViewSize { kViewZoom = 0, kViewOriginal = 1, kViewMultiple = 2 };

struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

// A picture drawn into the panel: the part of the picture taken (`source`,
// in picture pixels) and where it lands (`target`, in the panel's frame).
struct PictureDraw {
    Box source;
    Box target;
    bool halftone = false;  // smooth scaling (ZOOM) rather than replicated pixels
    friend bool operator==(const PictureDraw&, const PictureDraw&) = default;
};

// A `width` x `height` picture in the panel rectangle `panel`. ORIGINAL is
// unscaled and centred (cropped when larger), MULTIPLE scales by the largest
// whole factor that fits (at least 1), ZOOM (and any other value) fits it
// with its aspect kept. Nothing is drawn for an empty picture or panel.
PictureDraw pictureInPanel(int width, int height, const Box& panel, int viewSize);

// The video host's rectangle in a `clientWidth` x `clientHeight` panel for a
// `videoWidth` x `videoHeight` video; offsets may be negative (the panel
// clips). Sizes of 0 or less give an empty box.
Box videoInPanel(int videoWidth, int videoHeight, int clientWidth, int clientHeight, int viewSize);

// The list watermark: the picture scaled into the list's client area, filling
// its width at the top (wide pictures) or its height, centred (tall ones).
Box watermarkInList(int width, int height, int clientWidth, int clientHeight);

// Lightens 32-bit pixels (B, G, R, A) in place 80 % of the way to white; the
// fourth byte is left as it is.
void fadePixels(uint8_t* pixels, size_t pixelCount);

// Pictures larger than this are not shown: decoding them would take more
// memory than a cover or a companion picture can deserve.
inline constexpr uint64_t kMaxPicturePixels = 64ull * 1000 * 1000;

// Whether a picture of this size may be decoded.
bool acceptablePictureSize(uint64_t width, uint64_t height);

// Whether the start of a picture file may go to the decoder: false when it is
// a PNG or JPEG whose header gives a size acceptablePictureSize refuses. Some
// decoders allocate the whole picture as soon as they read the header, so the
// size is checked here first. Other formats and headers not found in the
// bytes are left to the decoder's own size check.
bool pictureHeaderAcceptable(std::string_view start);

}  // namespace zav2
