// MediaEnginePlayer: the engine's life. Start-up, the Direct3D device the
// engine decodes into, renewing and retiring engines, shutdown, and the
// engine's events.
#include "engine/media_engine_player.h"

#include <memory>
#include <new>
#include <utility>

#include "engine/media_engine_player_internal.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

DWORD WINAPI shutDownEngineThread(void* parameter) {
    const std::unique_ptr<ComPtr<IMFMediaEngine>> engine(
        static_cast<ComPtr<IMFMediaEngine>*>(parameter));
    (*engine)->Shutdown();
    return 0;
}

// Shuts an engine down on a thread of its own and returns that thread (null
// when it was done here): Wine's GStreamer media source can take a second
// to shut down, and now and then never returns from it; then only that
// engine is abandoned, not the program.
UniqueHandle shutDownEngine(ComPtr<IMFMediaEngine> engine) {
    auto owned = std::make_unique<ComPtr<IMFMediaEngine>>(std::move(engine));
    UniqueHandle thread(CreateThread(nullptr, 0, shutDownEngineThread, owned.get(), 0, nullptr));
    if (!thread) {
        (*owned)->Shutdown();
        return thread;
    }
    owned.release();  // the thread frees it
    return thread;
}

}  // namespace

const EngineQuirks& engineQuirks() {
    static const EngineQuirks quirks = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
        return wine ? EngineQuirks{UrlForm::Wine, true, true, 0.09} : EngineQuirks{};
    }();
    return quirks;
}

HRESULT createVideoDevice(ComPtr<ID3D11Device>& device, ComPtr<ID3D11DeviceContext>& context) {
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                        D3D_FEATURE_LEVEL_10_0, D3D_FEATURE_LEVEL_9_3};
    const HRESULT hr =
        D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                          D3D11_CREATE_DEVICE_BGRA_SUPPORT | D3D11_CREATE_DEVICE_VIDEO_SUPPORT,
                          levels, ARRAYSIZE(levels), D3D11_SDK_VERSION, &device, nullptr, &context);
    if (FAILED(hr))
        return hr;
    // The engine decodes into this device from its own threads.
    ComPtr<ID3D10Multithread> multithread;
    if (SUCCEEDED(device.As(&multithread)))
        multithread->SetMultithreadProtected(TRUE);
    // One queued frame: Present then paces the presentation thread.
    ComPtr<IDXGIDevice1> dxgiDevice;
    if (SUCCEEDED(device.As(&dxgiDevice)))
        dxgiDevice->SetMaximumFrameLatency(1);
    return S_OK;
}

HRESULT lastErrorResult(DWORD fallback) {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : fallback);
}

void MediaEnginePlayer::CriticalSectionDeleter::operator()(CRITICAL_SECTION* section) const {
    DeleteCriticalSection(section);
    delete section;
}

MediaEnginePlayer::MediaEnginePlayer() : lock(new CRITICAL_SECTION) {
    InitializeCriticalSection(lock.get());
}

MediaEnginePlayer::~MediaEnginePlayer() {
    Shutdown();
    if (frameThread) {
        // The presentation thread is stuck inside the platform and may come
        // back: what it touches stays (the process is ending anyway).
        swapChain.Detach();
        lock.release();
    }
}

HRESULT MediaEnginePlayer::Initialize(HWND host) {
    if (initialized)
        return S_OK;
    HRESULT hr = MFStartup(MF_VERSION, MFSTARTUP_FULL);
    if (FAILED(hr))
        return hr;
    hostWindow = host;
    hr = CreateSurfaceWindow();
    if (SUCCEEDED(hr)) {
        hr = CreateD3DDevice();
        if (SUCCEEDED(hr)) {
            EngineParts made;
            hr = CreateEngine(made);
            if (SUCCEEDED(hr)) {
                stream = std::make_unique<AudioStream>();
                engine = std::move(made.engine);
                engineEx = std::move(made.engineEx);
                notify = std::move(made.notify);
            } else {
                ReleaseD3D();
            }
        }
        if (FAILED(hr))
            DestroySurfaceWindow();
    }
    if (FAILED(hr)) {
        MFShutdown();
        hostWindow = nullptr;
        return hr;
    }
    initialized = true;
    state.store(PlayerState::Closed);
    return S_OK;
}

HRESULT MediaEnginePlayer::CreateD3DDevice() {
    if (device)
        return S_OK;
    HRESULT hr = createVideoDevice(device, context);
    if (FAILED(hr))
        return hr;
    hr = MFCreateDXGIDeviceManager(&resetToken, &dxgiManager);
    if (SUCCEEDED(hr))
        hr = dxgiManager->ResetDevice(device.Get(), resetToken);
    if (FAILED(hr))
        ReleaseD3D();
    return hr;
}

HRESULT MediaEnginePlayer::CreateEngine(EngineParts& made, bool ahead) {
    ComPtr<IMFMediaEngine> engine;
    ComPtr<IMFMediaEngineEx> engineEx;
    ComPtr<NotifyCallback> notify;
    ComPtr<IMFMediaEngineClassFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_MFMediaEngineClassFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory));
    if (FAILED(hr))
        return hr;
    notify.Attach(new (std::nothrow) NotifyCallback(this, ahead));
    if (!notify)
        return E_OUTOFMEMORY;
    ComPtr<IMFAttributes> attributes;
    hr = MFCreateAttributes(&attributes, 4);
    if (SUCCEEDED(hr))
        hr = attributes->SetUnknown(MF_MEDIA_ENGINE_CALLBACK, notify.Get());
    if (SUCCEEDED(hr))
        hr = attributes->SetUINT32(MF_MEDIA_ENGINE_VIDEO_OUTPUT_FORMAT, DXGI_FORMAT_B8G8R8A8_UNORM);
    // No playback window: frame-server mode, the presentation thread pulls.
    if (SUCCEEDED(hr))
        hr = attributes->SetUnknown(MF_MEDIA_ENGINE_DXGI_MANAGER, dxgiManager.Get());
    if (SUCCEEDED(hr))
        hr = factory->CreateInstance(0, attributes.Get(), &engine);
    if (FAILED(hr)) {
        notify->Detach();
        notify.Reset();
        return hr;
    }
    hr = engine->SetAutoPlay(FALSE);
    if (SUCCEEDED(hr))
        hr = engine.As(&engineEx);
    if (FAILED(hr)) {
        notify->Detach();
        engine->Shutdown();
        return hr;
    }
    made = EngineParts{std::move(engine), std::move(engineEx), std::move(notify)};
    return S_OK;
}

HRESULT MediaEnginePlayer::RenewEngine() {
    // Made before the old engine goes, outside the lock: the presentation
    // thread and the window's thread are not held up by the engine's start.
    EngineParts fresh;
    const HRESULT hr = CreateEngine(fresh);
    if (FAILED(hr))
        return hr;  // the old engine stays
    EngineParts old;
    {
        Lock hold(*this);
        old = EngineParts{std::move(engine), std::move(engineEx), std::move(notify)};
        engine = fresh.engine;
        engineEx = std::move(fresh.engineEx);
        notify = std::move(fresh.notify);
    }
    engineHoldsSource = false;
    if (old.engine) {
        // The caller's volume and rate outlive the engine swap.
        fresh.engine->SetVolume(old.engine->GetVolume());
        fresh.engine->SetPlaybackRate(old.engine->GetPlaybackRate());
    }
    // Nobody waits for the old engine to shut down: Shutdown does, at the end.
    RetireEngine(std::move(old), 0);
    return S_OK;
}

// Detaches an engine taken out of the player and shuts it down on a thread
// of its own, waiting at most `waitMs` for it.
void MediaEnginePlayer::RetireEngine(EngineParts old, DWORD waitMs) {
    if (old.notify)
        old.notify->Detach();  // events from now on reach nobody
    if (!old.engine)
        return;
    old.engine->Pause();
    UniqueHandle thread = shutDownEngine(std::move(old.engine));
    if (!thread)
        return;
    if (waitMs != 0 && WaitForSingleObject(thread.get(), waitMs) == WAIT_OBJECT_0)
        return;
    engineShutdowns.push_back(std::move(thread));
    FinishEngineShutdowns(0);  // forget those that have ended meanwhile
}

// Waits up to `waitMs` in all for the engines still shutting down; true when
// none is left.
bool MediaEnginePlayer::FinishEngineShutdowns(DWORD waitMs) {
    const ULONGLONG end = GetTickCount64() + waitMs;
    std::vector<UniqueHandle> running;
    for (UniqueHandle& thread : engineShutdowns) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        if (WaitForSingleObject(thread.get(), left) != WAIT_OBJECT_0)
            running.push_back(std::move(thread));
    }
    engineShutdowns = std::move(running);
    return engineShutdowns.empty();
}

void MediaEnginePlayer::Shutdown() {
    const bool threadEnded = StopFrameThread();
    DiscardPreload();
    stream.reset();  // its thread ends before the platform goes
    streamPlays = false;
    EngineParts last;
    {
        Lock hold(*this);
        last = EngineParts{std::move(engine), std::move(engineEx), std::move(notify)};
        // Events from now on reach nobody, before the callback goes.
        if (last.notify)
            last.notify->Detach();
        engineHoldsSource = false;
        canPlay.store(false);
        errorRaised.store(false);
        currentPath.clear();
        currentUrl.clear();
        state.store(PlayerState::Closed);
        eventCallback = nullptr;
    }
    // The engine goes before the device it decodes into.
    RetireEngine(std::move(last), kShutdownLimitMs);
    {
        Lock hold(*this);
        // A presentation thread that did not end keeps its swap chain and
        // window; the device and texture it may hold stay alive through its
        // own references.
        if (threadEnded) {
            ReleaseD3D();
            DestroySurfaceWindow();
        } else {
            frameTexture.Reset();
            dxgiManager.Reset();
            context.Reset();
            device.Reset();
        }
        hostWindow = nullptr;
    }
    if (initialized) {
        // Media Foundation is not pulled from under an engine that is still
        // shutting down; the process ends soon after this anyway.
        if (FinishEngineShutdowns(kShutdownLimitMs))
            MFShutdown();
        initialized = false;
    }
}

void MediaEnginePlayer::ReleaseD3D() {
    DropSwapChain();
    frameTexture.Reset();
    textureWidth = 0;
    textureHeight = 0;
    dxgiManager.Reset();
    context.Reset();
    device.Reset();
    resetToken = 0;
}

void MediaEnginePlayer::SetEventCallback(EngineEventCallback callback) {
    eventCallback = std::move(callback);
}

namespace {

// An engine's readiness from its events: a new load clears both flags, an
// error clears readiness.
void trackReadiness(uint32_t event, std::atomic<bool>& ready, std::atomic<bool>& failed) {
    switch (event) {
        case MF_MEDIA_ENGINE_EVENT_LOADSTART:
            ready.store(false);
            failed.store(false);
            break;
        case MF_MEDIA_ENGINE_EVENT_ERROR:
            failed.store(true);
            ready.store(false);
            break;
        case MF_MEDIA_ENGINE_EVENT_CANPLAY:
        case MF_MEDIA_ENGINE_EVENT_CANPLAYTHROUGH:
            ready.store(true);
            break;
        default:
            break;
    }
}

}  // namespace

void MediaEnginePlayer::OnEngineEvent(uint32_t event, uintptr_t param1, uint32_t param2) {
    trackReadiness(event, canPlay, errorRaised);
    if (eventCallback)
        eventCallback(event, param1, param2);
}

void MediaEnginePlayer::OnAheadEngineEvent(uint32_t event) {
    trackReadiness(event, aheadCanPlay, aheadError);
}

}  // namespace zav2
