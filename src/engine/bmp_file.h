// The BMP file a capture writes, and the bounded row copy that moves a
// frame between two pitched buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zav2 {

struct BmpLayout {
    uint32_t width = 0;
    uint32_t height = 0;  // rows are stored bottom-up
    uint16_t bitsPerPixel = 32;
    uint32_t bytesPerRow = 0;
};

inline constexpr uint32_t kBmpHeadersSize = 54;  // file header 14 + info header 40

// Colour-table entries a bitmap of this depth carries: 2, 16 and 256 for
// 1, 4 and 8 bits per pixel; none above.
uint32_t bmpPaletteEntries(uint16_t bitsPerPixel);

// The whole file: both headers, the colour table (4 bytes per entry) and the
// pixel rows, bottom-up. nullopt when the parts do not match the layout or the
// file would not fit the format's 32-bit size field.
std::optional<std::string> buildBmpFile(const BmpLayout& layout, std::string_view colourTable,
                                        std::string_view bottomUpPixels);

// Copies `rows` rows of `rowBytes` bytes from a buffer with one pitch to one
// with another. Returns false, copying nothing, when either buffer is too
// small for that.
bool copyPixelRows(const uint8_t* source, size_t sourcePitch, size_t sourceSize, uint8_t* target,
                   size_t targetStride, size_t targetSize, size_t rowBytes, size_t rows);

}  // namespace zav2
