#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>

#include "platform/file.h"
#include "ui/panel_geometry.h"
#include "ui/panel_pictures_win.h"

namespace zav2 {

namespace {

using Microsoft::WRL::ComPtr;

struct DibSection {
    UniqueBitmap bitmap;
    void* bits = nullptr;
};

// A 32-bit top-down DIB section of the given size.
DibSection createDibSection(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DibSection dib;
    HDC screen = GetDC(nullptr);
    dib.bitmap.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &dib.bits, nullptr, 0));
    ReleaseDC(nullptr, screen);
    if (!dib.bitmap)
        dib.bits = nullptr;
    return dib;
}

struct DibPixels {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
};

// The pixels of a 32-bit DIB section, or nothing for any other bitmap.
DibPixels pixelsOf(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits) {
        return {};
    }
    GdiFlush();  // GDI may still be drawing into it
    return {static_cast<uint8_t*>(section.dsBm.bmBits), section.dsBm.bmWidth,
            std::abs(section.dsBm.bmHeight)};
}

UniqueBitmap toDibSection(IWICBitmapDecoder* decoder, IWICImagingFactory* factory) {
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    // The size is checked before anything is converted, so a hostile header
    // cannot make the decoder allocate.
    if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
        !acceptablePictureSize(width, height)) {
        return nullptr;
    }
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    ComPtr<IWICBitmapSource> source;
    WICPixelFormatGUID format{};
    if (FAILED(converter.As(&source)) || FAILED(source->GetPixelFormat(&format)) ||
        format != GUID_WICPixelFormat32bppPBGRA || FAILED(source->GetSize(&width, &height)) ||
        !acceptablePictureSize(width, height)) {
        return nullptr;
    }
    DibSection dib = createDibSection(static_cast<int>(width), static_cast<int>(height));
    if (!dib.bitmap)
        return nullptr;
    const UINT stride = 4 * width;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(dib.bits))))
        return nullptr;
    return std::move(dib.bitmap);
}

ComPtr<IWICImagingFactory> createFactory() {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory)))) {
        return nullptr;
    }
    return factory;
}

}  // namespace

UniqueBitmap decodePictureFile(const String& path) {
    // JPEG frame headers may follow large metadata segments.
    constexpr size_t kHeaderBytes = 256 * 1024;
    const std::unique_ptr<FileReader> file = FileReader::open(path);
    if (!file)
        return nullptr;
    std::string start(static_cast<size_t>(std::min<uint64_t>(file->size(), kHeaderBytes)), '\0');
    start.resize(file->readAt(0, start.data(), start.size()));
    if (!pictureHeaderAcceptable(start))
        return nullptr;
    ComPtr<IWICImagingFactory> factory = createFactory();
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder))) {
        return nullptr;
    }
    return toDibSection(decoder.Get(), factory.Get());
}

UniqueBitmap decodePictureBytes(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > MAXDWORD || !pictureHeaderAcceptable(bytes))
        return nullptr;
    ComPtr<IWICImagingFactory> factory = createFactory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    // The stream reads the caller's bytes in place; they outlive the decoder.
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder))) {
        return nullptr;
    }
    return toDibSection(decoder.Get(), factory.Get());
}

UniqueBitmap copyPicture(HBITMAP picture) {
    const DibPixels from = pixelsOf(picture);
    if (!from.bits)
        return nullptr;
    DibSection copy = createDibSection(from.width, from.height);
    if (!copy.bitmap)
        return nullptr;
    std::memcpy(copy.bits, from.bits, size_t{4} * from.width * from.height);
    return std::move(copy.bitmap);
}

void fadePicture(HBITMAP picture) {
    const DibPixels pixels = pixelsOf(picture);
    if (pixels.bits)
        fadePixels(pixels.bits, size_t(pixels.width) * pixels.height);
}

SIZE pictureSize(HBITMAP picture) {
    BITMAP description{};
    if (!picture || !GetObjectW(picture, sizeof description, &description))
        return {0, 0};
    return {description.bmWidth, std::abs(description.bmHeight)};
}

}  // namespace zav2
