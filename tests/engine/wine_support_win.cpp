#include "wine_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace zav2::test {

namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::wstring mediaPath(const std::wstring& name) {
    const wchar_t* folder = _wgetenv(L"ZAV2_ENGINE_MEDIA");
    std::wstring path = folder ? folder : L"media";
    if (path[0] == L'/')
        path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path + L"\\" + name;
}

std::wstring scratchFolder(const std::wstring& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    return folder.wstring();
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(5);
    }
}

void pumpFor(DWORD ms) {
    pumpUntil([] { return false; }, ms);
}

HostWindow::HostWindow(int width, int height) {
    static ATOM windowClass = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = TestWindowProc;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        description.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        description.lpszClassName = L"Zav2EngineTestWindow";
        return RegisterClassW(&description);
    }();
    (void)windowClass;
    mainWindow = CreateWindowExW(0, L"Zav2EngineTestWindow", L"engine test",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width + 80,
                                 height + 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    hostWindow =
        CreateWindowExW(0, L"Zav2EngineTestWindow", L"", WS_CHILD | WS_VISIBLE, 40, 40, width,
                        height, mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    pumpFor(50);
}

HostWindow::~HostWindow() {
    if (mainWindow != nullptr)
        DestroyWindow(mainWindow);
}

void HostWindow::resize(int width, int height) {
    SetWindowPos(mainWindow, nullptr, 0, 0, width + 80, height + 80, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hostWindow, nullptr, 40, 40, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HostWindow& sharedHostWindow(int width, int height) {
    static HostWindow* window = new HostWindow(width, height);  // lives until the process ends
    window->resize(width, height);
    return *window;
}

HRESULT openAndWait(MediaEnginePlayer& player, const std::wstring& path) {
    const HRESULT hr = player.OpenFile(path.c_str());
    if (FAILED(hr))
        return hr;
    return pumpUntil([&] { return player.IsReady(); }, 5000) ? S_OK
                                                             : HRESULT_FROM_WIN32(WAIT_TIMEOUT);
}

}  // namespace zav2::test
