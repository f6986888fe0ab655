#include "engine/frame_capture.h"

#include <string>
#include <vector>

#include "engine/bmp_file.h"
#include "engine/capture_name.h"
#include "engine/media_engine_player_internal.h"
#include "platform/file.h"
#include "platform/handles_win.h"
#include "platform/path.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using OwnedDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Selects a bitmap into a memory DC for one scope.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc, previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc;
    HGDIOBJ previous;
};

constexpr wchar_t kCaptureFolderTitle[] = L"移動するフォルダを選択してください。";

// The frame at native size as a DIB section, or null.
UniqueBitmap captureVideoFrame(MediaEnginePlayer& player) {
    DWORD width = 0;
    DWORD height = 0;
    player.GetNativeVideoSize(&width, &height);
    if (width == 0 || height == 0)
        return nullptr;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> frame;
    UniqueBitmap dib;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) {
        hr = factory->CreateBitmap(width, height, GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapCacheOnDemand, &frame);
    }
    if (SUCCEEDED(hr))
        hr = player.CaptureFrame(frame.Get());
    if (SUCCEEDED(hr))
        hr = ConvertToDib(factory.Get(), frame.Get(), dib);
    return SUCCEEDED(hr) ? std::move(dib) : nullptr;
}

}  // namespace

HRESULT MediaEnginePlayer::CaptureFrame(IWICBitmap* target) {
    Lock hold(*this);
    if (!engine || !device || !context || target == nullptr)
        return E_POINTER;
    DWORD width = 0;
    DWORD height = 0;
    HRESULT hr = engine->GetNativeVideoSize(&width, &height);
    if (FAILED(hr))
        return hr;
    if (width == 0 || height == 0)
        return E_UNEXPECTED;
    // The presented frames use the same texture at the same native size.
    hr = EnsureFrameTexture(width, height);
    if (FAILED(hr))
        return hr;
    // Until the engine holds a frame of this source, a transfer succeeds and
    // gives black (Wine's engine clears the target and draws an empty
    // texture): that is no capture. A frame due now counts, so does one the
    // presentation thread has drawn (when paused, Windows' engine answers
    // S_FALSE for a frame already ticked).
    LONGLONG presentationTime = 0;
    const bool due = engine->OnVideoStreamTick(&presentationTime) == S_OK;
    if (!due && !frameDrawn)
        return HRESULT_FROM_WIN32(ERROR_NOT_READY);
    frameDrawn = true;
    const RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    const MFARGB border{0, 0, 0, 255};
    hr = engine->TransferVideoFrame(frameTexture.Get(), nullptr, &whole, &border);
    if (FAILED(hr))
        return hr;

    D3D11_TEXTURE2D_DESC desc{};
    frameTexture->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ComPtr<ID3D11Texture2D> staging;
    hr = device->CreateTexture2D(&desc, nullptr, &staging);
    if (FAILED(hr))
        return hr;
    context->CopyResource(staging.Get(), frameTexture.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    hr = context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped);
    if (FAILED(hr))
        return hr;

    const WICRect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    ComPtr<IWICBitmapLock> pixels;
    hr = target->Lock(&all, WICBitmapLockWrite, &pixels);
    UINT stride = 0;
    UINT size = 0;
    BYTE* data = nullptr;
    if (SUCCEEDED(hr))
        hr = pixels->GetStride(&stride);
    if (SUCCEEDED(hr))
        hr = pixels->GetDataPointer(&size, &data);
    if (SUCCEEDED(hr)) {
        const size_t mappedSize = size_t{mapped.RowPitch} * height;
        if (!copyPixelRows(static_cast<const uint8_t*>(mapped.pData), mapped.RowPitch, mappedSize,
                           data, stride, size, size_t{width} * 4, height)) {
            hr = E_UNEXPECTED;  // the bitmap is not the frame's size
        }
    }
    pixels.Reset();
    context->Unmap(staging.Get(), 0);
    return hr;
}

HRESULT ConvertToDib(IWICImagingFactory* factory, IWICBitmapSource* source, UniqueBitmap& dib) {
    dib.reset();
    if (factory == nullptr || source == nullptr)
        return E_POINTER;
    UINT width = 0;
    UINT height = 0;
    HRESULT hr = source->GetSize(&width, &height);
    if (FAILED(hr))
        return hr;
    if (width == 0 || height == 0 || width > 0x7FFFFFFF / 4 / height)
        return E_INVALIDARG;
    ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr)) {
        hr = converter->Initialize(source, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom);
    }
    if (FAILED(hr))
        return hr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr)
        return E_OUTOFMEMORY;
    hr = converter->CopyPixels(nullptr, width * 4, width * 4 * height, static_cast<BYTE*>(bits));
    if (FAILED(hr))
        return hr;
    dib = std::move(section);
    return S_OK;
}

bool WriteBmpFile(HBITMAP bitmap, StringView path) {
    BITMAP description{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof description, &description) == 0)
        return false;
    BmpLayout layout;
    layout.width = static_cast<uint32_t>(description.bmWidth);
    layout.height = static_cast<uint32_t>(description.bmHeight < 0 ? -description.bmHeight
                                                                   : description.bmHeight);
    layout.bitsPerPixel = description.bmBitsPixel;
    // GetDIBits writes rows padded to four bytes, whatever the bitmap's own
    // row size (a device bitmap pads to two).
    const uint64_t rowBytes = (uint64_t{layout.width} * layout.bitsPerPixel + 31) / 32 * 4;
    if (layout.width == 0 || layout.height == 0 || rowBytes * layout.height > 0x7FFFFFFF)
        return false;
    layout.bytesPerRow = static_cast<uint32_t>(rowBytes);

    const uint32_t paletteEntries = bmpPaletteEntries(layout.bitsPerPixel);
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = static_cast<LONG>(layout.width);
    info->bmiHeader.biHeight = static_cast<LONG>(layout.height);  // bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = layout.bitsPerPixel;
    info->bmiHeader.biCompression = BI_RGB;
    std::string pixels(static_cast<size_t>(rowBytes * layout.height), '\0');
    OwnedDc screen(CreateCompatibleDC(nullptr));
    if (!screen || GetDIBits(screen.get(), bitmap, 0, layout.height, pixels.data(), info,
                             DIB_RGB_COLORS) != static_cast<int>(layout.height)) {
        return false;
    }
    const std::string_view palette(reinterpret_cast<const char*>(info->bmiColors),
                                   paletteEntries * sizeof(RGBQUAD));
    const std::optional<std::string> file = buildBmpFile(layout, palette, pixels);
    return file && writeFileReplacing(path, *file);
}

bool CopyBitmapToClipboard(HWND owner, HBITMAP bitmap) {
    BITMAP description{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof description, &description) == 0)
        return false;
    const int width = description.bmWidth;
    const int height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
    UniqueBitmap copy(CreateBitmap(width, height, 1, 32, nullptr));
    OwnedDc from(CreateCompatibleDC(nullptr));
    OwnedDc to(CreateCompatibleDC(nullptr));
    if (!copy || !from || !to)
        return false;
    {
        Selection source(from.get(), bitmap);
        Selection target(to.get(), copy.get());
        if (!BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY))
            return false;
    }
    bool placed = false;
    {
        const OpenedClipboard clipboard(owner);
        if (!clipboard.opened())
            return false;
        EmptyClipboard();
        placed = SetClipboardData(CF_BITMAP, copy.get()) != nullptr;
    }
    if (placed)
        copy.release();  // the clipboard owns it now
    return placed;
}

HRESULT CaptureToFile(MediaEnginePlayer& player, HWND videoHost, HBITMAP panelPicture,
                      String& captureFolder, StringView entryPath,
                      const BrowseForFolderCall& browseForFolder) {
    if (captureFolder.empty() || !isDirectory(captureFolder)) {
        std::optional<String> chosen =
            browseForFolder ? browseForFolder(videoHost, kCaptureFolderTitle) : std::nullopt;
        if (!chosen)
            return S_FALSE;
        captureFolder = std::move(*chosen);
    }
    const String path =
        combinePath(captureFolder, captureFileName(entryPath, player.GetPosition()));
    if (player.HasVideo()) {
        const UniqueBitmap frame = captureVideoFrame(player);
        if (!frame)
            return E_FAIL;
        return WriteBmpFile(frame.get(), path) ? S_OK : STG_E_CANTSAVE;
    }
    if (panelPicture == nullptr)
        return S_FALSE;
    return WriteBmpFile(panelPicture, path) ? S_OK : STG_E_CANTSAVE;
}

HRESULT CaptureToClipboard(MediaEnginePlayer& player, HWND mainWindow, HBITMAP panelPicture) {
    if (player.HasVideo()) {
        const UniqueBitmap frame = captureVideoFrame(player);
        return frame && CopyBitmapToClipboard(mainWindow, frame.get()) ? S_OK : E_FAIL;
    }
    if (panelPicture == nullptr)
        return S_FALSE;
    return CopyBitmapToClipboard(mainWindow, panelPicture) ? S_OK : E_FAIL;
}

}  // namespace zav2
