#include "engine/bmp_file.h"

#include <cstring>

namespace zav2 {

namespace {

void put16(std::string& out, size_t at, uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, size_t at, uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

// The rows a region of `rows` rows spans: the last row needs only rowBytes.
bool fits(size_t pitch, size_t size, size_t rowBytes, size_t rows) {
    if (rows == 0 || rowBytes == 0)
        return true;
    if (pitch < rowBytes)
        return false;
    if (rows - 1 > (SIZE_MAX - rowBytes) / pitch)
        return false;
    return (rows - 1) * pitch + rowBytes <= size;
}

}  // namespace

uint32_t bmpPaletteEntries(uint16_t bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::optional<std::string> buildBmpFile(const BmpLayout& layout, std::string_view colourTable,
                                        std::string_view bottomUpPixels) {
    const uint64_t paletteBytes = 4ull * bmpPaletteEntries(layout.bitsPerPixel);
    const uint64_t pixelBytes = uint64_t{layout.bytesPerRow} * layout.height;
    const uint64_t minimumRow = (uint64_t{layout.width} * layout.bitsPerPixel + 7) / 8;
    if (layout.width == 0 || layout.height == 0 || layout.bytesPerRow < minimumRow ||
        colourTable.size() != paletteBytes || bottomUpPixels.size() != pixelBytes ||
        layout.width > 0x7FFFFFFF || layout.height > 0x7FFFFFFF) {
        return std::nullopt;
    }
    const uint64_t pixelOffset = kBmpHeadersSize + paletteBytes;
    const uint64_t fileSize = pixelOffset + pixelBytes;
    if (fileSize > 0xFFFFFFFFull)
        return std::nullopt;

    std::string out(kBmpHeadersSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(fileSize));
    put32(out, 10, static_cast<uint32_t>(pixelOffset));
    put32(out, 14, 40);
    put32(out, 18, layout.width);
    put32(out, 22, layout.height);
    put16(out, 26, 1);
    put16(out, 28, layout.bitsPerPixel);
    // Compression, image size, resolutions and colour counts stay 0.
    out.reserve(static_cast<size_t>(fileSize));
    out.append(colourTable);
    out.append(bottomUpPixels);
    return out;
}

bool copyPixelRows(const uint8_t* source, size_t sourcePitch, size_t sourceSize, uint8_t* target,
                   size_t targetStride, size_t targetSize, size_t rowBytes, size_t rows) {
    if (!fits(sourcePitch, sourceSize, rowBytes, rows) ||
        !fits(targetStride, targetSize, rowBytes, rows)) {
        return false;
    }
    if (rows == 0 || rowBytes == 0)
        return true;
    if (source == nullptr || target == nullptr)
        return false;
    for (size_t r = 0; r < rows; ++r)
        std::memcpy(target + r * targetStride, source + r * sourcePitch, rowBytes);
    return true;
}

}  // namespace zav2
