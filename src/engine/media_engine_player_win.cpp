// MediaEnginePlayer: start-up and shutdown, sources, transport, the engine's
// read-outs and its events.
#include "engine/media_engine_player.h"

#include <mfreadwrite.h>
#include <oleauto.h>

#include <memory>
#include <new>
#include <utility>

#include "engine/media_engine_player_internal.h"
#include "platform/path.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

struct BstrFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using Bstr = std::unique_ptr<OLECHAR, BstrFree>;

// Where Wine's media engine differs from Windows', decided once. Wine is
// recognised by the export it adds to ntdll.
struct EngineQuirks {
    // Wine's file scheme handler strips "file://" and opens the rest, so the
    // "file:///D:/..." URL Windows expects fails there; "file://D:/..." works.
    UrlForm urlForm = UrlForm::Windows;
    // Wine's engine does not take a second source as a new one: after a
    // second SetSource, Wine 8's reports can-play but never plays and Wine
    // 10's goes on from the old source's position. Each source then gets a
    // fresh engine (made without holding anything up, see RenewEngine).
    bool oneSourcePerEngine = false;
    // Wine's video frame sink asks for a sample only when it takes one in or
    // hands one out. A seek made while playing empties its queue but leaves
    // it running, so it never asks again: the sound goes on from the new
    // position and the picture stops. Going from paused to running makes it
    // ask anew, so such a seek is followed by a pause and a play, which the
    // engine's session carries out after the seek.
    bool restartFramesAfterSeek = false;
    // Wine's engine (10, on PulseAudio) never lets the last 0.1 s of a file
    // be heard: files marked at both ends lose exactly that much of their
    // tail, every time, while the end it reports comes 35 to 110 ms early,
    // scattered. Started this long before its clock reaches the end, the
    // next entry's sound (which begins a few ms after its start call)
    // follows this one's. 0 where the end is measured instead.
    double soundEndsEarlySeconds = 0.0;
};

const EngineQuirks& engineQuirks() {
    static const EngineQuirks quirks = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
        return wine ? EngineQuirks{UrlForm::Wine, true, true, 0.09} : EngineQuirks{};
    }();
    return quirks;
}

// GetFullPathNameW into the program's 260-unit buffer.
HRESULT expandPath(const wchar_t* path, String& full) {
    constexpr DWORD kMaxPathBuffer = kMaxPath + 1;
    wchar_t buffer[kMaxPathBuffer];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetFullPathNameW(path, kMaxPathBuffer, buffer, nullptr);
    if (length == 0 || length > kMaxPathBuffer - 1) {
        // A path that does not fit reports its size but sets no error.
        return lastErrorResult(ERROR_FILENAME_EXCED_RANGE);
    }
    full.assign(buffer, length);
    return S_OK;
}

// The frame rate of the first video stream as the file's source describes it.
double frameRateFromFile(const String& url) {
    ComPtr<IMFSourceReader> reader;
    ComPtr<IMFMediaType> type;
    UINT32 numerator = 0;
    UINT32 denominator = 0;
    if (FAILED(MFCreateSourceReaderFromURL(url.c_str(), nullptr, &reader)) ||
        FAILED(reader->GetNativeMediaType(static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM),
                                          0, &type)) ||
        FAILED(MFGetAttributeRatio(type.Get(), MF_MT_FRAME_RATE, &numerator, &denominator))) {
        return 0.0;
    }
    return frameRateFromPacked((uint64_t{numerator} << 32) | denominator);
}

// How long the end of the program waits for engines to shut down.
constexpr DWORD kShutdownLimitMs = 3000;

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

HRESULT MediaEnginePlayer::Preload(const wchar_t* path) {
    if (path == nullptr || !initialized || !engine)
        return E_POINTER;
    DiscardPreload();
    aheadRequested = path;
    HRESULT hr = expandPath(path, aheadPath);
    if (FAILED(hr))
        return hr;
    if (playbackRate == 1.0 && stream && audioStreamCandidate(aheadPath)) {
        std::unique_ptr<AudioTrack> track;
        if (SUCCEEDED(openAudioTrack(aheadPath, track))) {
            aheadUrl = fileUrlForPath(aheadPath, engineQuirks().urlForm);
            // Queued, it follows the playing track's last sample by itself;
            // anything that changes the next entry takes it back first.
            aheadQueued = streamPlays && stream->Queue(track);
            aheadTrack = std::move(track);  // null once queued
            return S_OK;
        }
    }
    EngineParts made;
    hr = CreateEngine(made, true);
    if (FAILED(hr))
        return hr;
    aheadCanPlay.store(false);
    aheadError.store(false);
    made.engine->SetVolume(engine->GetVolume());
    made.engine->SetPlaybackRate(engine->GetPlaybackRate());
    aheadUrl = fileUrlForPath(aheadPath, engineQuirks().urlForm);
    Bstr text{SysAllocString(aheadUrl.c_str())};
    hr = text ? made.engine->SetSource(text.get()) : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        RetireEngine(std::move(made), 0);
        return hr;
    }
    ahead = std::move(made);
    return S_OK;
}

void MediaEnginePlayer::DiscardPreload() {
    DropPreload(0);
}

void MediaEnginePlayer::ReleasePreloadedFile() {
    DropPreload(ahead.engine ? kShutdownLimitMs : 0);
}

bool MediaEnginePlayer::StartPreloadEarly() {
    if (aheadStarted || aheadQueued)
        return true;  // a queued track starts by itself, on the very sample
    if (aheadTrack) {
        // After an entry of the engine's, the stream starts as the engine's
        // sound ends; after one of its own of another format, it waits for
        // the advance (its device has to start anew).
        if (streamPlays || FAILED(stream->Load(std::move(aheadTrack))) || FAILED(stream->Play())) {
            aheadTrack.reset();
            return false;
        }
        aheadStarted = true;
        return true;
    }
    if (!ahead.engine || aheadError.load() || !aheadCanPlay.load() || ahead.engine->HasVideo())
        return false;
    const StartReading reading = StartingNow(0.0);
    if (FAILED(ahead.engine->Play()))
        return false;
    aheadStartReading = reading;
    aheadStarted = true;
    return true;
}

void MediaEnginePlayer::DropPreload(DWORD waitMs) {
    if (aheadQueued)
        stream->Unqueue();
    else if (aheadStarted && !ahead.engine && !streamPlays)
        stream->Close();  // started early after an entry of the engine's
    aheadQueued = false;
    aheadTrack.reset();
    aheadStarted = false;
    aheadRequested.clear();
    aheadPath.clear();
    aheadUrl.clear();
    aheadCanPlay.store(false);
    aheadError.store(false);
    RetireEngine(std::exchange(ahead, EngineParts{}), waitMs);
}

// The engine opened ahead becomes the player's engine, loaded and not
// started, as if OpenFile had just loaded it; false when it does not hold
// `full` or is not fit to play it, and then it is let go.
bool MediaEnginePlayer::TakeOverPreload(const String& full) {
    const bool track = aheadQueued || aheadTrack || (aheadStarted && !ahead.engine);
    if ((!ahead.engine && !track) || !equalsIgnoreCase(aheadPath, full) ||
        (track && playbackRate != 1.0)) {
        DiscardPreload();
        return false;
    }
    if (track)
        return TakeOverTrack();
    const bool loaded = aheadCanPlay.load();
    if (aheadError.load() || (loaded && ahead.engine->HasVideo())) {
        DiscardPreload();
        return false;
    }
    FlagScope busy(sourceBusy);
    EngineParts old;
    {
        Lock hold(*this);
        old = EngineParts{std::move(engine), std::move(engineEx), std::move(notify)};
        engine = std::move(ahead.engine);
        engineEx = std::move(ahead.engineEx);
        notify = std::move(ahead.notify);
        canPlay.store(false);
        errorRaised.store(false);
        state.store(PlayerState::Loaded);
        lastFrameTime = kNoFrameTime;
        currentPath = aheadPath;
        currentUrl = aheadUrl;
    }
    ahead = EngineParts{};
    // Events from now on set the player's own flags; what came before them
    // is carried over.
    notify->TakeOver();
    if (aheadError.load())
        errorRaised.store(true);
    else if (aheadCanPlay.load())
        canPlay.store(true);
    engineHoldsSource = true;
    startedEarly = std::exchange(aheadStarted, false);
    startReading = startedEarly ? aheadStartReading : StartReading{};
    lastPositionAt = 0;
    endMeasured = false;
    aheadRequested.clear();
    aheadPath.clear();
    aheadUrl.clear();
    RetireEngine(std::move(old), 0);
    if (streamPlays) {
        stream->Close();  // heard to its end by now
        streamPlays = false;
    }
    return true;
}

// The track held ahead becomes the playing source, as TakeOverPreload does
// for an engine: running already when it followed on by itself or was
// started early.
bool MediaEnginePlayer::TakeOverTrack() {
    bool sounding = aheadStarted;
    if (aheadQueued) {
        sounding = stream->Advance();
    } else if (aheadTrack && FAILED(stream->Load(std::move(aheadTrack)))) {
        DiscardPreload();
        return false;
    }
    const String path = aheadPath;
    const String url = aheadUrl;
    aheadQueued = false;
    aheadStarted = false;
    aheadTrack.reset();
    aheadRequested.clear();
    aheadPath.clear();
    aheadUrl.clear();
    BecomeStreamSource(path, url);
    startedEarly = sounding;
    return true;
}

// The engine lets go of its file and stays idle while the stream plays.
void MediaEnginePlayer::LetGoOfEngineSource() {
    if (streamPlays || !engineHoldsSource)
        return;
    engine->Pause();
    if (FAILED(RenewEngine()))
        engine->SetSource(nullptr);
}

void MediaEnginePlayer::BecomeStreamSource(const String& path, const String& url) {
    LetGoOfEngineSource();
    streamPlays = true;
    {
        Lock hold(*this);
        canPlay.store(true);
        errorRaised.store(false);
        state.store(PlayerState::Loaded);
        lastFrameTime = kNoFrameTime;
        currentPath = path;
        currentUrl = url;
    }
    startedEarly = false;
    startReading = StartReading{};
    lastPositionAt = 0;
    endMeasured = false;
    stream->SetVolume(engine->GetVolume());
    // What waits for the engine's readiness hears it from the stream alike.
    OnEngineEvent(MF_MEDIA_ENGINE_EVENT_LOADSTART, 0, 0);
    canPlay.store(true);
    OnEngineEvent(MF_MEDIA_ENGINE_EVENT_CANPLAY, 0, 0);
}

bool MediaEnginePlayer::OpenOnStream(const String& full) {
    if (playbackRate != 1.0 || !stream || !audioStreamCandidate(full))
        return false;
    std::unique_ptr<AudioTrack> track;
    if (FAILED(openAudioTrack(full, track)) || FAILED(stream->Load(std::move(track))))
        return false;
    BecomeStreamSource(full, fileUrlForPath(full, engineQuirks().urlForm));
    return true;
}

// The playing file goes on in the engine, from where it is heard, at `rate`.
// The engine loads it as it would the next entry, while the stream plays on;
// when it is not ready in time the file goes on in the stream at normal
// speed, and the failure is returned for the caller to show that speed.
HRESULT MediaEnginePlayer::HandOverToEngine(double rate) {
    const String path = GetCurrentPath();
    HRESULT hr = Preload(path.c_str());  // not for the stream: the rate is not 1
    if (SUCCEEDED(hr) && ahead.engine) {
        ahead.engine->SetPlaybackRate(rate);
        // A rate change is rare: its wait for the engine is made here.
        constexpr int kReadyWaitTicks = 300;
        constexpr DWORD kReadyTickMs = 10;
        for (int tick = 0; tick < kReadyWaitTicks && !aheadCanPlay.load() && !aheadError.load();
             ++tick) {
            Sleep(kReadyTickMs);
        }
    }
    const bool ready = SUCCEEDED(hr) && ahead.engine && aheadCanPlay.load() && !aheadError.load();
    const PlayerState before = state.load();
    const double at = stream->Position();
    if (!ready || !TakeOverPreload(aheadPath)) {
        DiscardPreload();
        playbackRate = 1.0;
        return FAILED(hr) ? hr : E_UNEXPECTED;
    }
    engine->SetPlaybackRate(rate);
    if (at > 0) {
        FlagScope busy(sourceBusy);
        engine->SetCurrentTime(at);  // an engine that cannot seek starts over
    }
    hr = S_OK;
    if (before == PlayerState::Playing) {
        hr = engine->Play();
        startReading = StartingNow(at);
    }
    Lock hold(*this);
    state.store(before);
    return hr;
}

HRESULT MediaEnginePlayer::OpenFile(const wchar_t* path) {
    if (path == nullptr || !initialized || !engine)
        return E_POINTER;
    String full;
    HRESULT hr = expandPath(path, full);
    if (FAILED(hr))
        return hr;
    ComPtr<IMFMediaEngine> rewind;
    {
        Lock hold(*this);
        if (isRewindOfLoadedSource(currentPath, full, errorRaised.load(), state.load())) {
            canPlay.store(true);
            state.store(PlayerState::Loaded);
            rewind = engine;
            full = currentPath;  // the file keeps the spelling it was opened with
        }
    }
    if (rewind && streamPlays) {
        startedEarly = false;
        stream->Pause();
        return stream->Seek(0);
    }
    if (rewind) {
        startedEarly = false;
        rewind->Pause();
        hr = Seek(0);
        if (SUCCEEDED(hr))
            return hr;
        // An engine that cannot seek (Wine 8) rewinds by loading the file again.
    }
    if (TakeOverPreload(full) || OpenOnStream(full))
        return S_OK;
    if (streamPlays) {
        stream->Close();
        streamPlays = false;
    }
    const String url = fileUrlForPath(full, engineQuirks().urlForm);
    hr = SetSourceUrl(url.c_str());
    if (SUCCEEDED(hr)) {
        Lock hold(*this);
        currentPath = full;
        state.store(PlayerState::Loaded);
    }
    return hr;
}

HRESULT MediaEnginePlayer::SetSourceUrl(const wchar_t* url) {
    if (!initialized || url == nullptr || !engine)
        return E_POINTER;
    FlagScope busy(sourceBusy);
    if (streamPlays) {
        stream->Close();
        streamPlays = false;
    }
    if (engineHoldsSource && engineQuirks().oneSourcePerEngine) {
        const HRESULT renewed = RenewEngine();
        if (FAILED(renewed)) {
            Lock hold(*this);
            state.store(PlayerState::Closed);
            return renewed;
        }
    }
    ComPtr<IMFMediaEngine> target;
    {
        Lock hold(*this);
        canPlay.store(false);
        errorRaised.store(false);
        state.store(PlayerState::Loaded);
        lastFrameTime = kNoFrameTime;
        target = engine;
    }
    startedEarly = false;
    startReading = StartReading{};
    lastPositionAt = 0;
    endMeasured = false;
    target->Pause();
    Bstr text{SysAllocString(url)};
    if (!text)
        return E_OUTOFMEMORY;
    const HRESULT hr = target->SetSource(text.get());
    engineHoldsSource = true;
    Lock hold(*this);
    if (FAILED(hr)) {
        state.store(PlayerState::Closed);
        return hr;
    }
    currentUrl = url;
    return S_OK;
}

HRESULT MediaEnginePlayer::SetCurrentPath(const wchar_t* path) {
    if (path == nullptr)
        return E_POINTER;
    String full;
    const HRESULT hr = expandPath(path, full);
    if (FAILED(hr))
        return hr;
    Lock hold(*this);
    currentPath = std::move(full);
    return S_OK;
}

HRESULT MediaEnginePlayer::Close() {
    if (!engine)
        return E_POINTER;
    FlagScope busy(sourceBusy);
    ComPtr<IMFMediaEngine> target;
    {
        Lock hold(*this);
        target = engine;
        canPlay.store(false);
        errorRaised.store(false);
        currentPath.clear();
        currentUrl.clear();
        state.store(PlayerState::Closed);
    }
    startedEarly = false;
    startReading = StartReading{};
    if (std::exchange(streamPlays, false)) {
        stream->Close();  // lets go of the file
        return S_OK;
    }
    target->Pause();
    // A null source unloads the media and lets go of the file.
    const HRESULT hr = target->SetSource(nullptr);
    engineHoldsSource = true;
    return hr;
}

HRESULT MediaEnginePlayer::Play() {
    ComPtr<IMFMediaEngine> target;
    TransportRule rule;
    {
        Lock hold(*this);
        if (!engine)
            return E_POINTER;
        rule = transportRule(TransportOp::Play, state.load());
        if (rule.action != TransportAction::CallEngine)
            return E_UNEXPECTED;
        target = engine;
    }
    // An engine started early runs already: another Play could make the
    // platform start its session over.
    const StartReading reading = StartingNow(streamPlays ? 0.0 : target->GetCurrentTime());
    // The stream's Play only asks for what may already be so: it is always
    // made, so that a stop between the join and the advance does not keep it
    // silent.
    const bool running = std::exchange(startedEarly, false) && !streamPlays;
    const HRESULT hr = running ? S_OK : streamPlays ? stream->Play() : target->Play();
    if (FAILED(hr))
        return hr;
    if (!startReading.pending)
        startReading = reading;
    {
        Lock hold(*this);
        state.store(rule.next);
    }
    if (surfaceWindow != nullptr)
        ShowWindow(surfaceWindow, SW_SHOWNOACTIVATE);
    StartFrameThread();
    return hr;
}

HRESULT MediaEnginePlayer::Pause() {
    ComPtr<IMFMediaEngine> target;
    TransportRule rule;
    {
        Lock hold(*this);
        if (!engine)
            return E_POINTER;
        rule = transportRule(TransportOp::Pause, state.load());
        if (rule.action != TransportAction::CallEngine)
            return E_UNEXPECTED;
        target = engine;
    }
    if (aheadStarted || (aheadQueued && stream->Joined()))
        DiscardPreload();  // the next entry would go on sounding
    startReading.pending = false;
    HRESULT hr = S_OK;
    if (streamPlays)
        stream->Pause();
    else
        hr = target->Pause();
    if (SUCCEEDED(hr)) {
        Lock hold(*this);
        state.store(rule.next);
    }
    return hr;
}

HRESULT MediaEnginePlayer::Stop() {
    ComPtr<IMFMediaEngine> target;
    TransportRule rule;
    {
        Lock hold(*this);
        if (!engine)
            return E_POINTER;
        rule = transportRule(TransportOp::Stop, state.load());
        // Taken over running, and not played on: it must not sound on.
        if (std::exchange(startedEarly, false) && !streamPlays)
            engine->Pause();
        // The stop before an advance leaves the track that follows sounding
        // on from the join; whatever does not take it over silences it (a
        // stop of the user's lets the preload go first).
        if (streamPlays)
            stream->Stop();
        if (rule.action == TransportAction::NothingToDo)
            return S_OK;
        if (rule.action == TransportAction::Refuse)
            return E_UNEXPECTED;
        target = engine;
    }
    // Stopping keeps the source and its position; only the picture goes.
    const HRESULT hr = streamPlays ? S_OK : target->Pause();
    if (FAILED(hr))
        return hr;
    {
        Lock hold(*this);
        state.store(rule.next);
    }
    if (surfaceWindow != nullptr)
        ShowWindow(surfaceWindow, SW_HIDE);
    if (hostWindow != nullptr)
        ShowWindow(hostWindow, SW_HIDE);
    return hr;
}

HRESULT MediaEnginePlayer::Seek(double seconds) {
    if (!seekTarget(seconds, 0))
        return E_INVALIDARG;
    FlagScope busy(sourceBusy);
    ComPtr<IMFMediaEngine> target;
    {
        Lock hold(*this);
        target = engine;
    }
    if (!target)
        return E_POINTER;
    if (aheadStarted)
        DiscardPreload();
    startReading.pending = false;
    lastPositionAt = 0;
    endMeasured = false;
    if (streamPlays)
        return stream->Seek(*seekTarget(seconds, stream->Duration()));
    const HRESULT hr = target->SetCurrentTime(*seekTarget(seconds, target->GetDuration()));
    if (SUCCEEDED(hr) && engineQuirks().restartFramesAfterSeek &&
        state.load() == PlayerState::Playing) {
        target->Pause();
        target->Play();
    }
    return hr;
}

double MediaEnginePlayer::GetPosition() {
    if (!engine)
        return 0.0;
    if (streamPlays)
        return stream->Position();
    const double position = engine->GetCurrentTime();
    ReadStartLatency(position);
    return position;
}

MediaEnginePlayer::StartReading MediaEnginePlayer::StartingNow(double from) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return StartReading{now.QuadPart, from, true};
}

double MediaEnginePlayer::SecondsSince(LONGLONG counter) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - counter) / static_cast<double>(frequency.QuadPart);
}

double MediaEnginePlayer::GetEarlyStartLead() {
    const EngineQuirks& quirks = engineQuirks();
    // The stream is heard to its last sample: an engine that follows it
    // starts as early as its own start takes.
    if (streamPlays)
        return startLatency.seconds();
    if (quirks.soundEndsEarlySeconds > 0)
        return quirks.soundEndsEarlySeconds;
    // The ends scatter: starting by the later of them mixes a few
    // milliseconds of the tail into the start, where starting by the mean
    // would leave as much silence between them.
    const double early = endShortfall.measured() ? endShortfall.high() : 0.0;
    return early + startLatency.seconds();
}

void MediaEnginePlayer::ReadStartLatency(double position) {
    if (state.load() != PlayerState::Playing)
        return;
    if (!engine->IsEnded()) {
        lastPosition = position;
        lastPositionAt = StartingNow(0).calledAt;
    }
    if (!startReading.pending)
        return;
    const double elapsed = SecondsSince(startReading.calledAt);
    // A start that has not run after a second tells nothing about the next.
    constexpr double kGiveUpSeconds = 1.0;
    if (elapsed > kGiveUpSeconds) {
        startReading.pending = false;
        return;
    }
    const std::optional<double> latency =
        startLatencyFrom(elapsed, position - startReading.from, engine->GetPlaybackRate());
    if (!latency)
        return;
    startLatency.add(*latency);
    startReading.pending = false;
}

double MediaEnginePlayer::GetDuration() {
    if (streamPlays)
        return stream->Duration();
    return engine ? knownDuration(engine->GetDuration()) : 0.0;
}

HRESULT MediaEnginePlayer::SetVolume(double level) {
    Lock hold(*this);
    if (!engine)
        return E_POINTER;
    const std::optional<double> volume = clampVolume(level);
    if (!volume)
        return E_INVALIDARG;
    if (ahead.engine)
        ahead.engine->SetVolume(*volume);  // it may be heard before it is taken over
    if (stream)
        stream->SetVolume(*volume);  // one device volume for its tracks, queued or playing
    return engine->SetVolume(*volume);
}

HRESULT MediaEnginePlayer::SetPlaybackRate(double rate) {
    if (!engine)
        return E_UNEXPECTED;
    playbackRate = rate;
    // The stream plays at normal speed only: another speed goes on in the
    // engine, and a track held ahead for the stream is let go.
    if (rate != 1.0 && (aheadQueued || aheadTrack))
        DiscardPreload();
    if (rate != 1.0 && streamPlays)
        return HandOverToEngine(rate);
    Lock hold(*this);
    return engine->SetPlaybackRate(rate);
}

bool MediaEnginePlayer::IsEnded() {
    if (!engine)
        return false;
    if (streamPlays)
        return stream->Ended();
    if (!engine->IsEnded()) {
        // With the next engine started early, Wine's now and then never
        // reports its end: its duration is the end then.
        const double duration = engine->GetDuration();
        return aheadStarted && duration > 0 && engine->GetCurrentTime() >= duration;
    }
    // Where the media had got to when the end came tells how early the
    // engine ends; read close to the end only (the end watch's readings).
    constexpr double kCloseSeconds = 0.05;
    if (!endMeasured && lastPositionAt != 0 && state.load() == PlayerState::Playing) {
        endMeasured = true;
        const double since = SecondsSince(lastPositionAt);
        if (since <= kCloseSeconds) {
            // The end came somewhere between that reading and this one.
            if (const std::optional<double> shortfall = endShortfallFrom(
                    lastPosition + since / 2 * engine->GetPlaybackRate(), engine->GetDuration())) {
                endShortfall.add(*shortfall);
            }
        }
    }
    return true;
}

bool MediaEnginePlayer::IsReady() const {
    return canPlay.load() && !errorRaised.load() && engine.Get() != nullptr;
}

bool MediaEnginePlayer::HasVideo() {
    return engine && !streamPlays && engine->HasVideo();
}

void MediaEnginePlayer::GetNativeVideoSize(DWORD* width, DWORD* height) {
    if (width == nullptr || height == nullptr)
        return;
    *width = 0;
    *height = 0;
    if (!HasVideo())
        return;
    DWORD w = 0;
    DWORD h = 0;
    if (SUCCEEDED(engine->GetNativeVideoSize(&w, &h))) {
        *width = w;
        *height = h;
    }
}

double MediaEnginePlayer::GetFrameRate() {
    String url;
    {
        Lock hold(*this);
        DWORD streams = 0;
        if (!engineEx || streamPlays)
            return 0.0;
        if (SUCCEEDED(engineEx->GetNumberOfStreams(&streams))) {
            const double rate = FrameRateOfStreams(streams);
            if (rate > 0)
                return rate;
        }
        // Wine's engine cannot list its streams (8) or tell their rate (10):
        // the file itself tells.
        if (currentUrl.empty() || frameRateUrl == currentUrl)
            return currentUrl.empty() ? 0.0 : frameRateOfUrl;
        url = currentUrl;
    }
    // Read outside the lock: opening the file must not hold up the frames.
    const double rate = frameRateFromFile(url);
    Lock hold(*this);
    frameRateUrl = url;
    frameRateOfUrl = rate;
    return rate;
}

double MediaEnginePlayer::FrameRateOfStreams(DWORD streams) {
    for (DWORD index = 0; index < streams; ++index) {
        PROPVARIANT major;
        PropVariantInit(&major);
        const bool isVideo =
            SUCCEEDED(engineEx->GetStreamAttribute(index, MF_MT_MAJOR_TYPE, &major)) &&
            major.vt == VT_CLSID && major.puuid != nullptr &&
            IsEqualGUID(*major.puuid, MFMediaType_Video);
        PropVariantClear(&major);
        if (!isVideo)
            continue;
        PROPVARIANT rate;
        PropVariantInit(&rate);
        double fps = 0.0;
        if (SUCCEEDED(engineEx->GetStreamAttribute(index, MF_MT_FRAME_RATE, &rate)) &&
            rate.vt == VT_UI8) {
            fps = frameRateFromPacked(rate.uhVal.QuadPart);
        }
        PropVariantClear(&rate);
        return fps;  // the first video stream decides
    }
    return 0.0;
}

HRESULT MediaEnginePlayer::FrameStep(bool forward) {
    HRESULT hr;
    {
        Lock hold(*this);
        if (!engineEx)
            return E_UNEXPECTED;
        hr = streamPlays ? E_NOTIMPL : engineEx->FrameStep(forward ? TRUE : FALSE);
    }
    // Wine's engine (8 and 10 alike) has no frame step: the step is a seek of
    // one frame from the paused position, and the player stays paused.
    if (hr == E_NOTIMPL) {
        if (state.load() == PlayerState::Playing)
            Pause();
        if (state.load() != PlayerState::Paused)
            return hr;
        hr = Seek(frameStepTarget(GetPosition(), GetFrameRate(), forward));
    }
    // The presentation thread shows the stepped frame at its next paused
    // turn: this thread never presents itself.
    return hr;
}

String MediaEnginePlayer::GetCurrentPath() {
    Lock hold(*this);
    return currentPath;
}

String MediaEnginePlayer::GetCurrentUrl() {
    Lock hold(*this);
    return currentUrl;
}

}  // namespace zav2
