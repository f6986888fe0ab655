// MediaEnginePlayer's video surface: the "Zav2VideoSurface" child window, its
// swap chain, the frame texture and the presentation thread.
//
// A frame never passes through the CPU here: the engine draws it into
// `frameTexture` (TransferVideoFrame), the GPU copies that into the back
// buffer (CopyResource) and Present shows it.
#include "engine/media_engine_player_internal.h"

#include <mmsystem.h>

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

constexpr wchar_t kSurfaceClass[] = L"Zav2VideoSurface";
constexpr DWORD kJoinLimitMs = 2000;
constexpr UINT kBufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT | DXGI_USAGE_SHADER_INPUT;

ATOM surfaceClass = 0;  // registered once per process

LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            // Frames come through the swap chain; the window itself draws nothing.
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the mouse belongs to the video host below
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HRESULT registerSurfaceClass() {
    if (surfaceClass != 0)
        return S_OK;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SurfaceProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kSurfaceClass;
    surfaceClass = RegisterClassExW(&windowClass);
    if (surfaceClass != 0)
        return S_OK;
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return S_OK;
    return lastErrorResult(ERROR_CLASS_ALREADY_EXISTS);
}

// Client size with each side at least 1: swap chains and textures cannot be
// empty.
SIZE clientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left > 0 ? rect.right - rect.left : 1,
            rect.bottom - rect.top > 0 ? rect.bottom - rect.top : 1};
}

}  // namespace

HRESULT MediaEnginePlayer::CreateSurfaceWindow() {
    if (surfaceWindow != nullptr)
        return S_OK;
    if (hostWindow == nullptr)
        return E_POINTER;
    HRESULT hr = registerSurfaceClass();
    if (FAILED(hr))
        return hr;
    const SIZE size = clientSize(hostWindow);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    surfaceWindow = CreateWindowExW(WS_EX_NOREDIRECTIONBITMAP | WS_EX_TRANSPARENT, kSurfaceClass,
                                    L"", style, 0, 0, size.cx, size.cy, hostWindow, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    if (surfaceWindow == nullptr) {
        // Systems without the no-redirection style take the window without it.
        surfaceWindow =
            CreateWindowExW(WS_EX_TRANSPARENT, kSurfaceClass, L"", style, 0, 0, size.cx, size.cy,
                            hostWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    if (surfaceWindow == nullptr)
        return lastErrorResult(ERROR_INVALID_WINDOW_HANDLE);
    return S_OK;
}

void MediaEnginePlayer::DestroySurfaceWindow() {
    DropSwapChain();
    if (surfaceWindow != nullptr)
        DestroyWindow(surfaceWindow);
    surfaceWindow = nullptr;
}

void MediaEnginePlayer::DropSwapChain() {
    if (context) {
        context->ClearState();
        context->Flush();
    }
    swapChain.Reset();
    swapChainWidth = 0;
    swapChainHeight = 0;
    lastFrameTime = kNoFrameTime;  // a new swap chain starts empty
}

HRESULT MediaEnginePlayer::EnsureSwapChain() {
    if (surfaceWindow == nullptr || !device)
        return E_POINTER;
    const SIZE size = clientSize(surfaceWindow);
    const UINT width = static_cast<UINT>(size.cx);
    const UINT height = static_cast<UINT>(size.cy);
    if (swapChain && width == swapChainWidth && height == swapChainHeight)
        return S_OK;
    DropSwapChain();

    ComPtr<IDXGIDevice> dxgiDevice;
    ComPtr<IDXGIAdapter> adapter;
    HRESULT hr = device.As(&dxgiDevice);
    if (SUCCEEDED(hr))
        hr = dxgiDevice->GetAdapter(&adapter);
    if (FAILED(hr))
        return hr;

    ComPtr<IDXGIFactory2> factory2;
    if (SUCCEEDED(adapter->GetParent(IID_PPV_ARGS(&factory2)))) {
        DXGI_SWAP_CHAIN_DESC1 desc{};
        desc.Width = width;
        desc.Height = height;
        desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.BufferUsage = kBufferUsage;
        desc.BufferCount = 2;
        desc.Scaling = DXGI_SCALING_STRETCH;
        desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_DISCARD;
        desc.AlphaMode = DXGI_ALPHA_MODE_IGNORE;
        ComPtr<IDXGISwapChain1> chain1;
        hr = factory2->CreateSwapChainForHwnd(device.Get(), surfaceWindow, &desc, nullptr, nullptr,
                                              &chain1);
        if (FAILED(hr)) {
            desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
            hr = factory2->CreateSwapChainForHwnd(device.Get(), surfaceWindow, &desc, nullptr,
                                                  nullptr, &chain1);
        }
        if (SUCCEEDED(hr))
            hr = factory2->MakeWindowAssociation(surfaceWindow, DXGI_MWA_NO_ALT_ENTER);
        if (SUCCEEDED(hr))
            hr = chain1.As(&swapChain);
        if (FAILED(hr))
            swapChain.Reset();
    }

    if (!swapChain) {
        // Without the flip model: the original description.
        ComPtr<IDXGIFactory> factory;
        hr = adapter->GetParent(IID_PPV_ARGS(&factory));
        if (FAILED(hr))
            return hr;
        DXGI_SWAP_CHAIN_DESC desc{};
        desc.BufferDesc.Width = width;
        desc.BufferDesc.Height = height;
        desc.BufferDesc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.BufferUsage = kBufferUsage;
        desc.BufferCount = 2;
        desc.OutputWindow = surfaceWindow;
        desc.Windowed = TRUE;
        desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
        hr = factory->CreateSwapChain(device.Get(), &desc, &swapChain);
        if (FAILED(hr))
            return hr;
        factory->MakeWindowAssociation(surfaceWindow, DXGI_MWA_NO_ALT_ENTER);
    }
    swapChainWidth = width;
    swapChainHeight = height;
    return S_OK;
}

HRESULT MediaEnginePlayer::EnsureFrameTexture(UINT width, UINT height) {
    if (!device)
        return E_POINTER;
    width = width == 0 ? 1 : width;
    height = height == 0 ? 1 : height;
    if (frameTexture && textureWidth == width && textureHeight == height)
        return S_OK;
    frameTexture.Reset();
    textureWidth = 0;
    textureHeight = 0;
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    const HRESULT hr = device->CreateTexture2D(&desc, nullptr, &frameTexture);
    if (FAILED(hr))
        return hr;
    textureWidth = width;
    textureHeight = height;
    return S_OK;
}

HRESULT MediaEnginePlayer::TransferFrame() {
    if (framesSuspended.load() || sourceBusy.load())
        return S_FALSE;
    ComPtr<IDXGISwapChain> presenting;
    {
        Lock hold(*this);
        if (framesSuspended.load() || sourceBusy.load())
            return S_FALSE;
        const PlayerState now = state.load();
        if (!engine || surfaceWindow == nullptr || !device || !context ||
            (now != PlayerState::Playing && now != PlayerState::Paused)) {
            return S_FALSE;
        }
        if (engine->IsSeeking() || !engine->HasVideo())
            return S_FALSE;
        HRESULT hr = EnsureSwapChain();
        if (SUCCEEDED(hr))
            hr = EnsureFrameTexture(swapChainWidth, swapChainHeight);
        if (FAILED(hr))
            return hr;
        // Wine's engine answers S_OK for as long as it holds a frame, not only
        // when a new one is due: a frame already presented on this swap chain
        // is not presented again.
        LONGLONG presentationTime = kNoFrameTime;
        const bool due = engine->OnVideoStreamTick(&presentationTime) == S_OK &&
                         presentationTime != lastFrameTime;
        // A paused video whose swap chain was rebuilt (the surface was
        // resized) gets its current frame again instead of staying black.
        const bool repaint = !due && now == PlayerState::Paused && lastFrameTime == kNoFrameTime;
        if (!due && !repaint)
            return S_FALSE;
        const RECT target{0, 0, static_cast<LONG>(textureWidth), static_cast<LONG>(textureHeight)};
        const MFARGB border{0, 0, 0, 255};
        hr = engine->TransferVideoFrame(frameTexture.Get(), nullptr, &target, &border);
        if (FAILED(hr))
            return hr;
        ComPtr<ID3D11Texture2D> backBuffer;
        hr = swapChain->GetBuffer(0, IID_PPV_ARGS(&backBuffer));
        if (FAILED(hr))
            return hr;
        context->CopyResource(backBuffer.Get(), frameTexture.Get());
        presenting = swapChain;
        lastFrameTime = due ? presentationTime : kRepaintedFrameTime;
    }
    // Outside the lock: vertical sync must not hold up the main thread.
    const HRESULT hr = presenting->Present(1, 0);
    if (SUCCEEDED(hr))
        ++presentedFrames;
    return hr;
}

void MediaEnginePlayer::ResizeSurface(int width, int height) {
    Lock hold(*this);
    if (surfaceWindow != nullptr && width > 0 && height > 0) {
        SetWindowPos(surfaceWindow, nullptr, 0, 0, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    DropSwapChain();  // rebuilt at the surface's new size by the next frame
}

bool MediaEnginePlayer::HasSwapChain() {
    Lock hold(*this);
    return swapChain.Get() != nullptr;
}

bool MediaEnginePlayer::ShowsVideo() {
    ComPtr<IMFMediaEngine> current;
    {
        Lock hold(*this);
        current = engine;
    }
    return current && current->HasVideo();
}

void MediaEnginePlayer::StartFrameThread() {
    if (frameThread || surfaceWindow == nullptr)
        return;
    stopFrameThread.store(false);
    frameThread.reset(CreateThread(nullptr, 0, FrameThreadMain, this, 0, nullptr));
    if (frameThread)
        SetThreadPriority(frameThread.get(), THREAD_PRIORITY_TIME_CRITICAL);
}

void MediaEnginePlayer::StopFrameThread() {
    stopFrameThread.store(true);
    if (frameThread)
        WaitForSingleObject(frameThread.get(), kJoinLimitMs);
    frameThread.reset();
}

DWORD WINAPI MediaEnginePlayer::FrameThreadMain(void* player) {
    static_cast<MediaEnginePlayer*>(player)->RunFrameLoop();
    return 0;
}

void MediaEnginePlayer::RunFrameLoop() {
    timeBeginPeriod(1);
    while (!stopFrameThread.load()) {
        const PlayerState now = state.load();
        if (framesSuspended.load() || sourceBusy.load()) {
            Sleep(1);
        } else if ((now != PlayerState::Playing && now != PlayerState::Paused) || !ShowsVideo()) {
            Sleep(8);
        } else if (now == PlayerState::Paused) {
            // Paused: only a stepped frame or a rebuilt swap chain shows.
            TransferFrame();
            Sleep(8);
        } else if (TransferFrame() == S_FALSE) {
            Sleep(1);  // no frame due yet
        }
        // After a present the loop goes on at once: Present(1, 0) with a
        // frame latency of 1 paces it to the display.
    }
    timeEndPeriod(1);
}

double MediaEnginePlayer::FrameThreadCpuSeconds() {
    if (!frameThread)
        return 0.0;
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(frameThread.get(), &created, &exited, &kernel, &user))
        return 0.0;
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

}  // namespace zav2
