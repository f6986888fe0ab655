#include "test_window_win.h"

namespace zav2::test {

namespace {

constexpr wchar_t kClassName[] = L"Zav2PlaylistTestWindow";
std::vector<String>* recordedCaptions = nullptr;

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = TestWindow::kItemHeight;
        return TRUE;
    }
    if (message == WM_SETTEXT && recordedCaptions && lParam)
        recordedCaptions->push_back(reinterpret_cast<const wchar_t*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<String> captions;

}  // namespace

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

TestWindow::TestWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = testWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    main_ = CreateWindowExW(0, kClassName, L"Zav2", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                            300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    listBox_ =
        CreateWindowExW(0, L"LISTBOX", L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                            LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL,
                        0, 0, 200, kListHeight, main_, reinterpret_cast<HMENU>(1001),
                        GetModuleHandleW(nullptr), nullptr);
    pumpMessages();
    captions.clear();
    recordedCaptions = &captions;
}

TestWindow::~TestWindow() {
    recordedCaptions = nullptr;
    DestroyWindow(main_);
    pumpMessages();
}

std::vector<String> TestWindow::takeCaptions() {
    std::vector<String> taken;
    taken.swap(captions);
    return taken;
}

}  // namespace zav2::test
