// The program's one playback object: the Media Foundation media engine in
// frame-server mode, the Direct3D 11 device it decodes into, the borderless
// surface window inside the video host and the presentation thread that puts
// each due frame on screen. Audio-only files played at normal speed sound
// through the program's own stream instead (AudioStream), which joins one
// entry to the next without a gap; the operations mean the same for both.
// Windows only.
//
// Threads: every operation is called on the user-interface thread; the engine
// calls NotifyCallback on threads of its own; the presentation thread runs
// TransferFrame. `lock` guards the state writes, the strings, the COM
// references and the frame texture; no other lock exists. The swap chain
// belongs to the presentation thread alone: it makes, presents and releases
// it outside `lock`, because DXGI may wait on the window's thread inside
// those calls, and the window's thread must never wait on `lock` meanwhile.
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dxgi1_2.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/audio_stream_win.h"
#include "engine/media_engine_api.h"
#include "engine/player_rules.h"
#include "platform/handles_win.h"
#include "platform/text.h"

namespace zav2 {

using EngineEventCallback = std::function<void(uint32_t event, uintptr_t param1, uint32_t param2)>;

// The steps of one presented frame, for tests that make one of them fail.
enum class FrameStage { SwapChain, Transfer, Present };
using FrameFaultHook = std::function<HRESULT(FrameStage stage)>;
// The factor a file (full path) is played with, for loudness normalisation;
// called on the window's thread as the file is opened.
using GainRule = std::function<double(const String& path)>;

class MediaEnginePlayer {
  public:
    MediaEnginePlayer();
    ~MediaEnginePlayer();
    MediaEnginePlayer(const MediaEnginePlayer&) = delete;
    MediaEnginePlayer& operator=(const MediaEnginePlayer&) = delete;

    // Life. A second Initialize while initialised does nothing and succeeds;
    // Shutdown is safe at any time and leaves the player Closed.
    HRESULT Initialize(HWND host);
    void Shutdown();
    // Set before any source is loaded. It runs on the engine's threads, so it
    // only stores flags and never calls the player back.
    void SetEventCallback(EngineEventCallback callback);

    // Sources.
    HRESULT OpenFile(const wchar_t* path);
    HRESULT SetSourceUrl(const wchar_t* url);
    HRESULT SetCurrentPath(const wchar_t* path);
    HRESULT Close();

    // The next entry, opened ahead in an engine of its own while this one
    // plays: an OpenFile of the same file takes it over at once, any other
    // OpenFile lets it go. It is not taken over when it failed to load or
    // turns out to have video (that opens as usual). Only one file is held;
    // Preload replaces it, and remembers the path even when it failed, so
    // that the same file is not tried again and again.
    HRESULT Preload(const wchar_t* path);
    void DiscardPreload();
    // As DiscardPreload, and waits (a few seconds at most) until the engine
    // has closed the file, so that it can be moved or deleted.
    void ReleasePreloadedFile();
    // The path given to Preload; empty when nothing is held.
    String GetPreloadedPath() const { return aheadRequested; }
    // Starts the engine opened ahead while the playing one still sounds, so
    // that its sound can begin as the other's ends; an OpenFile of its file
    // then takes it over running. False, and nothing started, when it is not
    // ready, failed or has video. Pause, a seek or another source let it go.
    bool StartPreloadEarly();
    // How long before the playing media's duration the next one is to be
    // started (seconds of real time), so that its sound begins as this one's
    // ends: how early the engine has reported its ends (Wine's leaves the
    // last tens of milliseconds unplayed), plus the time from Play until its
    // media runs, plus on Wine the sound its output holds. Measured on the
    // entries played so far (as the position and the end are read).
    double GetEarlyStartLead();

    // Transport: E_POINTER without engine, E_UNEXPECTED in the wrong state.
    HRESULT Play();
    HRESULT Pause();
    HRESULT Stop();
    HRESULT Seek(double seconds);
    HRESULT FrameStep(bool forward);

    double GetPosition();
    double GetDuration();
    // The listening level, 0 ... 1; each file's gain comes on top of it: on
    // the stream's samples, and within the engine's volume (which cannot go
    // above 1) for what the engine plays.
    HRESULT SetVolume(double level);
    void SetGainRule(GainRule rule) { gainRule = std::move(rule); }
    // The rule changed: the playing file takes its new gain, and what is
    // held ahead is let go (it is opened again with the new one).
    void RenewGain();
    // A file on the audio stream that the engine cannot take over at
    // another rate goes on at normal speed: PlaybackRate tells which.
    HRESULT SetPlaybackRate(double rate);
    double PlaybackRate() const { return playbackRate; }
    bool IsEnded();
    bool IsReady() const;
    // The engine reported an error for the loaded source: it will not become ready.
    bool HasFailed() const { return errorRaised.load(); }
    bool HasVideo();
    void GetNativeVideoSize(DWORD* width, DWORD* height);
    double GetFrameRate();
    PlayerState GetState() const { return state.load(); }

    // Video surface.
    void ResizeSurface(int width, int height);
    void SuspendFrames(bool on) { framesSuspended.store(on); }

    // Copies the current frame at native size into a 32bppPBGRA bitmap.
    HRESULT CaptureFrame(IWICBitmap* target);

    // Read-outs for diagnostics and tests.
    String GetCurrentPath();
    String GetCurrentUrl();
    HWND SurfaceWindow() const { return surfaceWindow; }
    bool HasSwapChain();
    uint64_t PresentedFrames() const { return presentedFrames.load(); }
    // Turns of the frame thread's loop so far: two turns after a change of
    // state, a frame it was presenting meanwhile has landed.
    uint64_t FrameTurns() const { return frameTurns.load(); }
    // CPU time the presentation thread has used so far, in seconds.
    double FrameThreadCpuSeconds();
    // Times the presentation thread made the Direct3D device anew.
    uint64_t DeviceRebuilds() const { return deviceRebuilds.load(); }
    // Test seam, set before Play: called by the presentation thread at each
    // stage of a frame; a failure it returns stands in for the stage's own
    // result (S_OK lets the stage run).
    void SetFrameFaultHook(FrameFaultHook hook) { frameFaultHook = std::move(hook); }

  private:
    // lastFrameTime when nothing is on the swap chain, and when the frame on
    // it was redrawn without a time stamp.
    static constexpr LONGLONG kNoFrameTime = INT64_MIN;
    static constexpr LONGLONG kRepaintedFrameTime = INT64_MIN + 1;
    class NotifyCallback;
    class Lock;
    struct CriticalSectionDeleter {
        void operator()(CRITICAL_SECTION* section) const;
    };
    // A Play not yet measured: when it was called (performance counter) and
    // the position it started from.
    struct StartReading {
        LONGLONG calledAt = 0;
        double from = 0.0;
        bool pending = false;
    };
    struct EngineParts {
        Microsoft::WRL::ComPtr<IMFMediaEngine> engine;
        Microsoft::WRL::ComPtr<IMFMediaEngineEx> engineEx;
        Microsoft::WRL::ComPtr<NotifyCallback> notify;
    };
    // Which file a path names and what it holds: a file written anew under
    // the same name is another file (its index, or its size and time).
    struct FileIdentity {
        DWORD volume = 0;
        uint64_t index = 0;
        uint64_t size = 0;
        uint64_t lastWrite = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static std::optional<FileIdentity> IdentityOf(const String& path);

    // Start-up pieces and their unwinding.
    HRESULT CreateD3DDevice();
    // Touches no field but dxgiManager; an engine made `ahead` reports to the
    // preload's flags until it is taken over.
    HRESULT CreateEngine(EngineParts& made, bool ahead = false);
    bool TakeOverPreload(const String& full);
    void DropPreload(DWORD waitMs);
    HRESULT RenewEngine();
    void ReleaseD3D();
    void RetireEngine(EngineParts old, DWORD waitMs);
    bool FinishEngineShutdowns(DWORD waitMs);
    void OnEngineEvent(uint32_t event, uintptr_t param1, uint32_t param2);
    void OnAheadEngineEvent(uint32_t event);
    double FrameRateOfStreams(DWORD streams);  // under `lock`
    static StartReading StartingNow(double from);
    static double SecondsSince(LONGLONG counter);
    void ReadStartLatency(double position);
    // The audio stream's side of the sources: opening the file there (false
    // when it is not for the stream), taking over the track held ahead, and
    // moving what plays over to the engine (at another speed).
    bool OpenOnStream(const String& full);
    bool TakeOverTrack();
    void BecomeStreamSource(const String& path, const String& url);
    void LetGoOfEngineSource();
    HRESULT HandOverToEngine(double rate);
    double GainFor(const String& full) const;
    void ApplyEngineVolume();  // under `lock`

    // Surface, swap chain, texture and the presentation thread.
    HRESULT CreateSurfaceWindow();
    void DestroySurfaceWindow();
    // At the given size (the surface's when a side is 0); presentation thread.
    HRESULT EnsureSwapChain(ID3D11Device* onDevice, UINT width, UINT height);
    HRESULT EnsureFrameTexture(UINT width, UINT height);
    void DropSwapChain();                // presentation thread, or with none running
    HRESULT TransferFrame();             // S_FALSE (1) when nothing was presented
    bool FrameCanShow(PlayerState now);  // under `lock`
    void RebuildDevice();                // presentation thread, after a lost device
    HRESULT FaultAt(FrameStage stage) const;
    void StartFrameThread();
    bool StopFrameThread();  // false when the thread did not end in time
    bool ShowsVideo();
    static DWORD WINAPI FrameThreadMain(void* player);
    void RunFrameLoop();

    Microsoft::WRL::ComPtr<IMFMediaEngine> engine;
    Microsoft::WRL::ComPtr<IMFMediaEngineEx> engineEx;
    Microsoft::WRL::ComPtr<NotifyCallback> notify;
    Microsoft::WRL::ComPtr<IMFDXGIDeviceManager> dxgiManager;
    Microsoft::WRL::ComPtr<ID3D11Device> device;
    Microsoft::WRL::ComPtr<ID3D11DeviceContext> context;
    Microsoft::WRL::ComPtr<IDXGISwapChain> swapChain;  // presentation thread's
    // The immediate context of the swap chain's device (presentation thread's).
    Microsoft::WRL::ComPtr<ID3D11DeviceContext> swapChainContext;
    Microsoft::WRL::ComPtr<ID3D11Texture2D> frameTexture;
    UINT resetToken = 0;
    UINT swapChainWidth = 0;   // presentation thread's
    UINT swapChainHeight = 0;  // presentation thread's
    UINT textureWidth = 0;
    UINT textureHeight = 0;
    HWND hostWindow = nullptr;
    HWND surfaceWindow = nullptr;
    EngineEventCallback eventCallback;
    String currentPath;
    String currentUrl;
    std::atomic<bool> canPlay{false};
    std::atomic<bool> errorRaised{false};
    std::atomic<bool> stopFrameThread{true};
    std::atomic<bool> sourceBusy{false};
    std::atomic<bool> framesSuspended{false};
    // ResizeSurface asks the presentation thread to drop the swap chain.
    std::atomic<bool> swapChainStale{false};
    std::atomic<bool> swapChainLive{false};
    // The swap chain was made anew and holds no frame yet (presentation thread).
    bool swapChainEmpty = true;
    // Held on until the thread has ended: a thread that did not end in time
    // is waited for again, never started twice, and what it uses is kept.
    UniqueHandle frameThread;
    FrameFaultHook frameFaultHook;
    std::atomic<uint64_t> deviceRebuilds{0};
    // Engines being shut down on threads of their own (main thread only).
    std::vector<UniqueHandle> engineShutdowns;
    bool initialized = false;
    // The engine has been given a source (main thread only).
    bool engineHoldsSource = false;
    // The engine that holds the next entry (main thread only; swapped in
    // under `lock`), the path it was asked for and its full path and URL.
    EngineParts ahead;
    String aheadRequested;
    String aheadPath;
    String aheadUrl;
    // The file opened ahead as it was then: one replaced since is opened anew.
    std::optional<FileIdentity> aheadIdentity;
    // The engine opened ahead was started early; after a take-over, until
    // the Play that then finds it running.
    bool aheadStarted = false;
    bool startedEarly = false;
    // Main thread only, as are the position read-outs that complete them.
    StartReading startReading;
    StartReading aheadStartReading;
    RunningEstimate startLatency;
    RunningEstimate endShortfall;
    // The last position read while playing and when (performance counter),
    // and whether the end of this source has been measured.
    double lastPosition = 0.0;
    LONGLONG lastPositionAt = 0;
    bool endMeasured = false;
    // The stream, the track held ahead for it (not yet queued: the playing
    // source is the engine's or of another format), whether the track ahead
    // is queued on the stream, and whether what plays is the stream's.
    std::unique_ptr<AudioStream> stream;
    std::unique_ptr<AudioTrack> aheadTrack;
    bool aheadQueued = false;
    bool streamPlays = false;
    // The rate last asked for: the stream plays at normal speed only.
    double playbackRate = 1.0;
    // The listening level, and the gains of the engine's file and of the
    // engine's or track's held ahead (main thread only).
    double volumeLevel = 1.0;
    double engineGain = 1.0;
    double aheadGain = 1.0;
    GainRule gainRule;
    std::atomic<bool> aheadCanPlay{false};
    std::atomic<bool> aheadError{false};
    std::unique_ptr<CRITICAL_SECTION, CriticalSectionDeleter> lock;
    // Written under `lock`, read without it by GetState and the thread.
    std::atomic<PlayerState> state{PlayerState::Closed};
    std::atomic<uint64_t> presentedFrames{0};
    std::atomic<uint64_t> frameTurns{0};
    // Time stamp of the frame last presented (under `lock`); see TransferFrame.
    LONGLONG lastFrameTime = kNoFrameTime;
    // Whether the engine has drawn any frame of the current source (under
    // `lock`): before that, a transfer gives a black picture and S_OK.
    bool frameDrawn = false;
    // The frame rate read from the file when the engine cannot tell it, kept
    // for the URL it belongs to (under `lock`).
    String frameRateUrl;
    double frameRateOfUrl = 0.0;
};

// The program's player, constructed on first use and shut down again (if the
// program has not done so) when the process ends.
MediaEnginePlayer& player();

}  // namespace zav2
