// Tells the player's own cost per source from the media engine's: opens the
// given files in turn, plays each for 300 ms, and prints the process's
// threads and handles every EVERY rounds, and at the end how
// many threads started in each module. Not part of CTest:
//   tools/wine-run -- build/windows/bench/zav2_engine_loop.exe player|engine|reuse ROUNDS EVERY
//   FILE...
// player: MediaEnginePlayer, as the program uses it (give two files at least:
//         a file opened twice in a row is rewound, not loaded again);
// engine: a bare IMFMediaEngine per round (with a DXGI manager, as the
//         player's), shut down and released after the round;
// reuse:  one bare engine for all rounds, each source rewound to 0 while
//         paused before it plays (prints where it starts and gets to).
// "callbacks" counts the bare engines' event sinks not yet released.
#include <windows.h>
#include <tlhelp32.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/media_engine_player.h"
#include "process_counts_win.h"
#include "wine_support.h"

using Microsoft::WRL::ComPtr;

namespace {

using QueryThreadInformation = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

FARPROC ntdll(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name);
}

long handleCount() {
    return zav2::bench::handlesOf(GetCurrentProcessId());
}

// The process's threads by the module each started in.
std::map<std::string, int> threadsByModule() {
    const auto query = reinterpret_cast<QueryThreadInformation>(
        reinterpret_cast<void*>(ntdll("NtQueryInformationThread")));
    std::map<std::string, int> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return modules;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        char name[MAX_PATH] = "?";
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        void* start = nullptr;
        HMODULE module = nullptr;
        constexpr ULONG kStartAddress = 9;  // ThreadQuerySetWin32StartAddress
        if (thread != nullptr && query(thread, kStartAddress, &start, sizeof start, nullptr) == 0 &&
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(start), &module))
            GetModuleFileNameA(module, name, MAX_PATH);
        if (thread != nullptr)
            CloseHandle(thread);
        const char* base = std::strrchr(name, '\\');
        ++modules[base ? base + 1 : name];
    }
    CloseHandle(snapshot);
    return modules;
}

int threadCount() {
    int count = 0;
    for (const auto& module : threadsByModule())
        count += module.second;
    return count;
}

class Notify final : public IMFMediaEngineNotify {
  public:
    static std::atomic<int> alive;
    std::atomic<bool> canPlay{false};

    Notify() { ++alive; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, __uuidof(IUnknown)) ||
            IsEqualIID(riid, __uuidof(IMFMediaEngineNotify))) {
            *object = static_cast<IMFMediaEngineNotify*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE EventNotify(DWORD event, DWORD_PTR, DWORD) override {
        if (event == MF_MEDIA_ENGINE_EVENT_CANPLAY)
            canPlay = true;
        return S_OK;
    }

  private:
    ~Notify() { --alive; }
    std::atomic<ULONG> references{1};
};
std::atomic<int> Notify::alive{0};

struct BareEngine {
    ComPtr<IMFMediaEngine> engine;
    ComPtr<Notify> notify;
};

BareEngine makeEngine(IMFDXGIDeviceManager* manager) {
    BareEngine made;
    ComPtr<IMFMediaEngineClassFactory> factory;
    ComPtr<IMFAttributes> attributes;
    made.notify.Attach(new Notify);
    if (FAILED(CoCreateInstance(CLSID_MFMediaEngineClassFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(MFCreateAttributes(&attributes, 3)) ||
        FAILED(attributes->SetUnknown(MF_MEDIA_ENGINE_CALLBACK, made.notify.Get())) ||
        FAILED(attributes->SetUINT32(MF_MEDIA_ENGINE_VIDEO_OUTPUT_FORMAT,
                                     DXGI_FORMAT_B8G8R8A8_UNORM)) ||
        FAILED(attributes->SetUnknown(MF_MEDIA_ENGINE_DXGI_MANAGER, manager)) ||
        FAILED(factory->CreateInstance(0, attributes.Get(), &made.engine))) {
        std::printf("no media engine\n");
        std::exit(1);
    }
    return made;
}

// Wine's file URL form: "file://" and the path with forward slashes.
std::wstring wineUrl(const std::wstring& path) {
    std::wstring url = L"file://" + path;
    std::replace(url.begin(), url.end(), L'\\', L'/');
    return url;
}

void playFor300Ms(BareEngine& bare, const std::wstring& path, bool rewind, bool report) {
    bare.notify->canPlay = false;
    BSTR text = SysAllocString(wineUrl(path).c_str());
    bare.engine->Pause();
    bare.engine->SetSource(text);
    SysFreeString(text);
    zav2::test::pumpUntil([&] { return bare.notify->canPlay.load(); }, 5000);
    if (rewind)
        bare.engine->SetCurrentTime(0);
    const double start = bare.engine->GetCurrentTime();
    bare.engine->Play();
    zav2::test::pumpFor(300);
    if (report)
        std::printf("  starts at %.2f s, after 300 ms at %.2f s\n", start,
                    bare.engine->GetCurrentTime());
    bare.engine->Pause();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::printf("usage: zav2_engine_loop player|engine|reuse ROUNDS EVERY FILE...\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int rounds = std::atoi(argv[2]);
    const int every = std::max(1, std::atoi(argv[3]));
    std::vector<std::wstring> paths;
    for (int i = 4; i < argc; ++i)
        paths.emplace_back(argv[i], argv[i] + std::strlen(argv[i]));
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    MFStartup(MF_VERSION, MFSTARTUP_FULL);

    zav2::MediaEnginePlayer player;
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ComPtr<IMFDXGIDeviceManager> manager;
    UINT token = 0;
    BareEngine reused;
    if (mode == "player") {
        if (FAILED(player.Initialize(zav2::test::sharedHostWindow(320, 240).host())))
            return 1;
    } else if (FAILED(D3D11CreateDevice(
                   nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                   D3D11_CREATE_DEVICE_BGRA_SUPPORT | D3D11_CREATE_DEVICE_VIDEO_SUPPORT, nullptr, 0,
                   D3D11_SDK_VERSION, &device, nullptr, &context)) ||
               FAILED(MFCreateDXGIDeviceManager(&token, &manager)) ||
               FAILED(manager->ResetDevice(device.Get(), token))) {
        return 1;
    } else if (mode == "reuse") {
        reused = makeEngine(manager.Get());
    }

    std::printf("round 0 threads %d handles %ld\n", threadCount(), handleCount());
    for (int round = 1; round <= rounds; ++round) {
        const std::wstring& path = paths[round % paths.size()];
        const bool report = round % every == 0;
        if (mode == "player") {
            if (FAILED(zav2::test::openAndWait(player, path)))
                std::printf("  round %d: not opened\n", round);
            player.Play();
            zav2::test::pumpFor(300);
        } else if (mode == "reuse") {
            playFor300Ms(reused, path, true, report);
        } else {
            BareEngine bare = makeEngine(manager.Get());
            playFor300Ms(bare, path, false, false);
            bare.engine->Shutdown();
        }
        if (report) {
            zav2::test::pumpFor(1500);  // engines being shut down finish meanwhile
            std::printf("round %d threads %d handles %ld callbacks %d\n", round, threadCount(),
                        handleCount(), Notify::alive.load());
        }
        std::fflush(stdout);
    }
    for (const auto& [module, count] : threadsByModule())
        std::printf("  threads started in %s: %d\n", module.c_str(), count);
    return 0;
}
