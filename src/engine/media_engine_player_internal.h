// Pieces of MediaEnginePlayer shared by its source files (the engine's life,
// the entry held ahead, sources and transport, surface, capture); not for
// other callers.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <memory>

#include "engine/media_engine_player.h"

namespace zav2 {

// Holds the player's critical section for one scope.
class MediaEnginePlayer::Lock {
  public:
    explicit Lock(MediaEnginePlayer& player) : section(player.lock.get()) {
        EnterCriticalSection(section);
    }
    ~Lock() { LeaveCriticalSection(section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    CRITICAL_SECTION* section;
};

// The engine's event sink. The back reference is cleared by Detach before
// the player lets go of the engine; Detach also waits for a handler that is
// running at that moment, so that nothing reaches the player afterwards.
// The sink of an engine opened ahead reports to the preload's flags alone,
// so its events are never taken for the playing source's, until TakeOver.
class MediaEnginePlayer::NotifyCallback final : public IMFMediaEngineNotify {
  public:
    NotifyCallback(MediaEnginePlayer* owner, bool ahead) : owner(owner), ahead(ahead) {}
    NotifyCallback(const NotifyCallback&) = delete;
    NotifyCallback& operator=(const NotifyCallback&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE EventNotify(DWORD event, DWORD_PTR param1, DWORD param2) override;

    void Detach();
    // From now on the events are the playing source's. Waits, as Detach,
    // for a handler that still takes them for the preload's.
    void TakeOver();

  private:
    ~NotifyCallback() = default;
    void WaitForHandlers();

    std::atomic<MediaEnginePlayer*> owner;
    std::atomic<bool> ahead;
    std::atomic<ULONG> references{1};
    std::atomic<int> handlersRunning{0};
};

// Sets a flag for the length of a scope (the presentation thread keeps away
// from the engine while a source change, close or seek is under way).
class FlagScope {
  public:
    explicit FlagScope(std::atomic<bool>& flag) : flag(flag) { flag.store(true); }
    ~FlagScope() { flag.store(false); }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    std::atomic<bool>& flag;
};

// A Direct3D 11 device the engine can decode into from its threads, with one
// queued frame at most.
HRESULT createVideoDevice(Microsoft::WRL::ComPtr<ID3D11Device>& device,
                          Microsoft::WRL::ComPtr<ID3D11DeviceContext>& context);

// HRESULT_FROM_WIN32 of the thread's last error, or of `fallback` when the
// failing call left none.
HRESULT lastErrorResult(DWORD fallback);

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

const EngineQuirks& engineQuirks();

// GetFullPathNameW into the program's 260-unit buffer.
HRESULT expandPath(const wchar_t* path, String& full);

// How long the end of the program waits for engines to shut down.
inline constexpr DWORD kShutdownLimitMs = 3000;

}  // namespace zav2
