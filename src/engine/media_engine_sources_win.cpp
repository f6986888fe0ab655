// MediaEnginePlayer: sources, transport and the engine's read-outs.
#include "engine/media_engine_player.h"

#include <mfreadwrite.h>

#include <algorithm>
#include <utility>

#include "engine/media_engine_player_internal.h"
#include "platform/path.h"

using Microsoft::WRL::ComPtr;

namespace zav2 {

namespace {

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

}  // namespace

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

HRESULT MediaEnginePlayer::OpenFile(const wchar_t* path) {
    if (path == nullptr || !initialized || !engine)
        return E_POINTER;
    String full;
    HRESULT hr = expandPath(path, full);
    if (FAILED(hr)) {
        DiscardPreload();  // not taken over: it must not sound on after a stop
        return hr;
    }
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
    engineGain = GainFor(full);
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
        frameDrawn = false;
        target = engine;
        ApplyEngineVolume();  // a renewed engine took the old one's
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
    startReading.pending = false;
    HRESULT hr = S_OK;
    if (streamPlays)
        stream->Pause();  // first: what the discard reads again must not start
    else
        hr = target->Pause();
    if (aheadStarted || (aheadQueued && stream->Joined()))
        DiscardPreload();  // the next entry would go on sounding
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
    volumeLevel = *volume;
    if (ahead.engine)  // it may be heard before it is taken over
        ahead.engine->SetVolume(std::min(volumeLevel * aheadGain, 1.0));
    if (stream)
        stream->SetVolume(*volume);  // one device volume for its tracks, queued or playing
    ApplyEngineVolume();
    return S_OK;
}

void MediaEnginePlayer::ApplyEngineVolume() {
    engine->SetVolume(std::min(volumeLevel * engineGain, 1.0));
}

double MediaEnginePlayer::GainFor(const String& full) const {
    return gainRule ? gainRule(full) : 1.0;
}

void MediaEnginePlayer::RenewGain() {
    if (!initialized || !engine)
        return;
    DiscardPreload();
    const String path = GetCurrentPath();
    if (path.empty())
        return;
    const double gain = GainFor(path);
    if (streamPlays) {
        stream->SetGain(static_cast<float>(gain));
        return;
    }
    Lock hold(*this);
    engineGain = gain;
    ApplyEngineVolume();
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
