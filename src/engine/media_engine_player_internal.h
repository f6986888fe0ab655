// Pieces of MediaEnginePlayer shared by its source files (core, surface,
// capture); not for other callers.
#pragma once

#include <atomic>

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

}  // namespace zav2
