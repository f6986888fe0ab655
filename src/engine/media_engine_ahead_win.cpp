// MediaEnginePlayer: the entry held ahead and the stream's side. Opening the
// next entry ahead (in an engine of its own, or as a track for the stream),
// starting it early, taking it over, moving what plays between the stream and
// the engine, and the timing of the early start.
#include "engine/media_engine_player.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

#include "engine/debug_trace_win.h"
#include "engine/media_engine_player_internal.h"

namespace zav2 {

HRESULT MediaEnginePlayer::Preload(const wchar_t* path) {
    if (path == nullptr || !initialized || !engine)
        return E_POINTER;
    DiscardPreload();
    aheadRequested = path;
    HRESULT hr = expandPath(path, aheadPath);
    if (FAILED(hr))
        return hr;
    aheadGain = GainFor(aheadPath);
    aheadIdentity = IdentityOf(aheadPath);
    if (playbackRate == 1.0 && stream && audioStreamCandidate(aheadPath)) {
        std::unique_ptr<AudioTrack> track;
        const auto asked = std::chrono::steady_clock::now();
        if (SUCCEEDED(openAudioTrack(aheadPath, track))) {
            track->gain = static_cast<float>(aheadGain);
            aheadUrl = fileUrlForPath(aheadPath, engineQuirks().urlForm);
            // Queued, it follows the playing track's last sample by itself;
            // anything that changes the next entry takes it back first.
            aheadQueued = streamPlays && stream->Queue(track);
            aheadTrack = std::move(track);  // null once queued
            // How long the opening took, beside how much the stream had left.
            debugTrace(L"next entry opened ahead in %lld ms, %ls\n",
                       static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - asked)
                                                  .count()),
                       aheadQueued ? L"queued" : L"held");
            return S_OK;
        }
    }
    EngineParts made;
    hr = CreateEngine(made, true);
    if (FAILED(hr))
        return hr;
    aheadCanPlay.store(false);
    aheadError.store(false);
    made.engine->SetVolume(std::min(volumeLevel * aheadGain, 1.0));
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
    aheadIdentity.reset();
    aheadCanPlay.store(false);
    aheadError.store(false);
    RetireEngine(std::exchange(ahead, EngineParts{}), waitMs);
}

std::optional<MediaEnginePlayer::FileIdentity> MediaEnginePlayer::IdentityOf(const String& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    const auto wide = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
    return FileIdentity{
        info.dwVolumeSerialNumber, wide(info.nFileIndexHigh, info.nFileIndexLow),
        wide(info.nFileSizeHigh, info.nFileSizeLow),
        wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

// The engine opened ahead becomes the player's engine, loaded and not
// started, as if OpenFile had just loaded it; false when it does not hold
// `full`, the file on disk is no longer the one it opened (replaced or
// gone: what plays is what is there now), or it is not fit to play it, and
// then it is let go.
bool MediaEnginePlayer::TakeOverPreload(const String& full) {
    const bool track = aheadQueued || aheadTrack || (aheadStarted && !ahead.engine);
    if ((!ahead.engine && !track) || !equalsIgnoreCase(aheadPath, full) ||
        (track && playbackRate != 1.0) || !aheadIdentity || IdentityOf(full) != aheadIdentity) {
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
        engineGain = aheadGain;
        canPlay.store(false);
        errorRaised.store(false);
        state.store(PlayerState::Loaded);
        lastFrameTime = kNoFrameTime;
        frameDrawn = false;
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
    aheadIdentity.reset();
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
    aheadIdentity.reset();
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
        frameDrawn = false;
        currentPath = path;
        currentUrl = url;
    }
    startedEarly = false;
    startReading = StartReading{};
    lastPositionAt = 0;
    endMeasured = false;
    stream->SetVolume(volumeLevel);
    // What waits for the engine's readiness hears it from the stream alike.
    OnEngineEvent(MF_MEDIA_ENGINE_EVENT_LOADSTART, 0, 0);
    canPlay.store(true);
    OnEngineEvent(MF_MEDIA_ENGINE_EVENT_CANPLAY, 0, 0);
}

bool MediaEnginePlayer::OpenOnStream(const String& full) {
    if (playbackRate != 1.0 || !stream || !audioStreamCandidate(full))
        return false;
    std::unique_ptr<AudioTrack> track;
    if (FAILED(openAudioTrack(full, track)))
        return false;
    track->gain = static_cast<float>(GainFor(full));
    if (FAILED(stream->Load(std::move(track))))
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
        // A rate change is rare: its wait for the engine is made here, 3 s
        // by the clock (a count of sleeps lasts longer on a busy machine).
        constexpr ULONGLONG kReadyWaitMs = 3000;
        constexpr DWORD kReadyTickMs = 10;
        const ULONGLONG until = GetTickCount64() + kReadyWaitMs;
        while (!aheadCanPlay.load() && !aheadError.load() && GetTickCount64() < until)
            Sleep(kReadyTickMs);
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

}  // namespace zav2
