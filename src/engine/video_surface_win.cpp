// MediaEnginePlayer's video surface: the "Zav2VideoSurface" child window, its
// swap chain, the frame texture and the presentation thread.
//
// A frame never passes through the CPU here: the engine draws it into
// `frameTexture` (TransferVideoFrame), the GPU copies that into the back
// buffer (CopyResource) and Present shows it.
//
// Texture and back buffers keep the video's native size and the swap chain
// stretches them over the surface. Asking the engine for a frame at the
// surface's size instead would leave the scaling to TransferVideoFrame,
// which Wine's engine does not do with a DXGI device manager: it copies the
// frame unscaled into the top-left corner.
//
// The swap chain is the presentation thread's own. DXGI can send messages
// to the surface's window while it makes, presents or releases a swap chain,
// so the thread makes those calls without holding `lock`, and the window's
// thread never touches the swap chain: it only asks for it to be dropped.
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
    // Deferred references to the back buffers go before the swap chain does.
    if (swapChain && swapChainContext) {
        swapChainContext->ClearState();
        swapChainContext->Flush();
    }
    swapChain.Reset();
    swapChainContext.Reset();
    swapChainLive.store(false);
    swapChainWidth = 0;
    swapChainHeight = 0;
    swapChainEmpty = true;
}

HRESULT MediaEnginePlayer::EnsureSwapChain(ID3D11Device* onDevice, UINT width, UINT height) {
    if (surfaceWindow == nullptr || onDevice == nullptr)
        return E_POINTER;
    if (width == 0 || height == 0) {
        const SIZE size = clientSize(surfaceWindow);
        width = static_cast<UINT>(size.cx);
        height = static_cast<UINT>(size.cy);
    }
    if (swapChain && width == swapChainWidth && height == swapChainHeight)
        return S_OK;
    DropSwapChain();

    ComPtr<IDXGIDevice> dxgiDevice;
    ComPtr<IDXGIAdapter> adapter;
    HRESULT hr = onDevice->QueryInterface(IID_PPV_ARGS(&dxgiDevice));
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
        hr = factory2->CreateSwapChainForHwnd(onDevice, surfaceWindow, &desc, nullptr, nullptr,
                                              &chain1);
        if (FAILED(hr)) {
            desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
            hr = factory2->CreateSwapChainForHwnd(onDevice, surfaceWindow, &desc, nullptr, nullptr,
                                                  &chain1);
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
        desc.BufferDesc.Scaling = DXGI_MODE_SCALING_STRETCHED;
        desc.SampleDesc.Count = 1;
        desc.BufferUsage = kBufferUsage;
        desc.BufferCount = 2;
        desc.OutputWindow = surfaceWindow;
        desc.Windowed = TRUE;
        desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
        hr = factory->CreateSwapChain(onDevice, &desc, &swapChain);
        if (FAILED(hr))
            return hr;
        factory->MakeWindowAssociation(surfaceWindow, DXGI_MWA_NO_ALT_ENTER);
    }
    onDevice->GetImmediateContext(&swapChainContext);
    swapChainWidth = width;
    swapChainHeight = height;
    swapChainLive.store(true);
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

bool MediaEnginePlayer::FrameCanShow(PlayerState now) {
    if (framesSuspended.load() || sourceBusy.load())
        return false;
    return engine && surfaceWindow != nullptr && device && context &&
           (now == PlayerState::Playing || now == PlayerState::Paused);
}

HRESULT MediaEnginePlayer::FaultAt(FrameStage stage) const {
    return frameFaultHook ? frameFaultHook(stage) : S_OK;
}

HRESULT MediaEnginePlayer::TransferFrame() {
    if (framesSuspended.load() || sourceBusy.load())
        return S_FALSE;
    ComPtr<ID3D11Device> onDevice;
    DWORD videoWidth = 0;
    DWORD videoHeight = 0;
    {
        Lock hold(*this);
        if (!FrameCanShow(state.load()) || engine->IsSeeking() || !engine->HasVideo())
            return S_FALSE;
        onDevice = device;
        if (FAILED(engine->GetNativeVideoSize(&videoWidth, &videoHeight)))
            videoWidth = videoHeight = 0;  // the surface's size stands in
    }
    // Outside the lock: DXGI may wait on the window's thread in here.
    if (swapChainStale.exchange(false))
        DropSwapChain();
    HRESULT hr = FaultAt(FrameStage::SwapChain);
    if (SUCCEEDED(hr))
        hr = EnsureSwapChain(onDevice.Get(), videoWidth, videoHeight);
    ComPtr<ID3D11Texture2D> backBuffer;
    if (SUCCEEDED(hr))
        hr = swapChain->GetBuffer(0, IID_PPV_ARGS(&backBuffer));
    if (FAILED(hr))
        return hr;
    {
        Lock hold(*this);
        const PlayerState now = state.load();
        // A source change, a seek or a new device may have come meanwhile.
        if (!FrameCanShow(now) || device != onDevice)
            return S_FALSE;
        if (swapChainEmpty)
            lastFrameTime = kNoFrameTime;
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
        hr = FaultAt(FrameStage::Transfer);
        if (SUCCEEDED(hr))
            hr = engine->TransferVideoFrame(frameTexture.Get(), nullptr, &target, &border);
        if (FAILED(hr))
            return hr;
        context->CopyResource(backBuffer.Get(), frameTexture.Get());
        lastFrameTime = due ? presentationTime : kRepaintedFrameTime;
        frameDrawn = frameDrawn || due;
    }
    backBuffer.Reset();
    swapChainEmpty = false;
    // Outside the lock as well: vertical sync must not hold up the main thread.
    hr = FaultAt(FrameStage::Present);
    if (SUCCEEDED(hr))
        hr = swapChain->Present(1, 0);
    if (SUCCEEDED(hr))
        ++presentedFrames;
    return hr;
}

void MediaEnginePlayer::RebuildDevice() {
    // The swap chain belongs to the lost device; it goes first.
    DropSwapChain();
    ComPtr<ID3D11Device> fresh;
    ComPtr<ID3D11DeviceContext> freshContext;
    if (FAILED(createVideoDevice(fresh, freshContext)))
        return;  // tried again after the next failed turn
    Lock hold(*this);
    // The manager hands the new device to the engine as well.
    if (!dxgiManager || FAILED(dxgiManager->ResetDevice(fresh.Get(), resetToken)))
        return;
    device = std::move(fresh);
    context = std::move(freshContext);
    frameTexture.Reset();
    textureWidth = 0;
    textureHeight = 0;
    lastFrameTime = kNoFrameTime;
    ++deviceRebuilds;
}

void MediaEnginePlayer::ResizeSurface(int width, int height) {
    if (surfaceWindow != nullptr && width > 0 && height > 0) {
        SetWindowPos(surfaceWindow, nullptr, 0, 0, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    // Dropped by the presentation thread and rebuilt at the surface's new
    // size at its next frame.
    swapChainStale.store(true);
}

bool MediaEnginePlayer::HasSwapChain() {
    return swapChainLive.load() && !swapChainStale.load();
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

bool MediaEnginePlayer::StopFrameThread() {
    stopFrameThread.store(true);
    if (frameThread && WaitForSingleObject(frameThread.get(), kJoinLimitMs) != WAIT_OBJECT_0)
        return false;  // kept: see frameThread
    frameThread.reset();
    return true;
}

DWORD WINAPI MediaEnginePlayer::FrameThreadMain(void* player) {
    static_cast<MediaEnginePlayer*>(player)->RunFrameLoop();
    return 0;
}

void MediaEnginePlayer::RunFrameLoop() {
    constexpr DWORD kIdleMs = 8;
    timeBeginPeriod(1);
    FrameBackoff backoff;
    while (!stopFrameThread.load()) {
        frameTurns.fetch_add(1);
        const PlayerState now = state.load();
        if (framesSuspended.load() || sourceBusy.load()) {
            Sleep(1);
            continue;
        }
        if ((now != PlayerState::Playing && now != PlayerState::Paused) || !ShowsVideo()) {
            Sleep(kIdleMs);
            continue;
        }
        const FrameOutcome outcome = frameOutcome(TransferFrame());
        if (outcome == FrameOutcome::DeviceLost)
            RebuildDevice();
        DWORD sleepMs = backoff.sleepAfter(outcome);
        // Paused: only a stepped or sought frame, or a rebuilt swap chain, shows.
        if (now == PlayerState::Paused && sleepMs < kIdleMs)
            sleepMs = kIdleMs;
        // After a present the loop goes on at once: Present(1, 0) with a
        // frame latency of 1 paces it to the display.
        if (sleepMs != 0)
            Sleep(sleepMs);
    }
    DropSwapChain();  // released on the thread that made it
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
