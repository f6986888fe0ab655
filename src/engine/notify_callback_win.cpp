#include "engine/media_engine_player_internal.h"

#include <thread>

namespace zav2 {

HRESULT MediaEnginePlayer::NotifyCallback::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IMFMediaEngineNotify))) {
        *object = static_cast<IMFMediaEngineNotify*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG MediaEnginePlayer::NotifyCallback::AddRef() {
    return ++references;
}

ULONG MediaEnginePlayer::NotifyCallback::Release() {
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MediaEnginePlayer::NotifyCallback::EventNotify(DWORD event, DWORD_PTR param1,
                                                       DWORD param2) {
    // Counted before the owner is read: Detach clears the owner first and
    // then waits for the count, so a handler either sees null or is waited for.
    ++handlersRunning;
    if (MediaEnginePlayer* player = owner.load()) {
        if (ahead.load())
            player->OnAheadEngineEvent(event);
        else
            player->OnEngineEvent(event, param1, param2);
    }
    --handlersRunning;
    return S_OK;
}

void MediaEnginePlayer::NotifyCallback::Detach() {
    owner.store(nullptr);
    WaitForHandlers();
}

void MediaEnginePlayer::NotifyCallback::TakeOver() {
    ahead.store(false);
    WaitForHandlers();
}

void MediaEnginePlayer::NotifyCallback::WaitForHandlers() {
    while (handlersRunning.load() != 0)
        std::this_thread::yield();
}

}  // namespace zav2
