// A screen reader reads a button by its text, which an icon button does not
// draw: the text carries the name, and follows the icon the button shows. A
// slider has no text of its own to read: it gets an annotation where the
// system takes one (Windows) and the text where the text is read (Wine).
#include "ui/button_names_win.h"

#include <commctrl.h>
#include <oleacc.h>
#include <wrl/client.h>

#include "resources/messages_win.h"
#include "resources/resource.h"
#include "ui/button_names.h"

namespace zav2 {

namespace {

using Microsoft::WRL::ComPtr;

constexpr UINT_PTR kNameSubclassId = 2;
constexpr int kIconButtons[] = {IDC_OPEN_BUTTON,     IDC_PLAY_BUTTON, IDC_STOP_BUTTON,
                                IDC_PREVIOUS_BUTTON, IDC_NEXT_BUTTON, IDC_MODE_BUTTON,
                                IDC_TOPMOST_BUTTON,  IDC_LIST_BUTTON};

// Written out: the library's copies of the accessibility GUIDs are not
// always the ones the system answers to.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kAccessibleName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

ComPtr<IAccPropServices> accPropServices() {
    ComPtr<IAccPropServices> services;
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface,
                                reinterpret_cast<void**>(services.GetAddressOf()))))
        services.Reset();
    return services;
}

std::optional<ButtonName> nameOf(HWND button) {
    const int iconId =
        static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(button, kButtonIconProperty)));
    return iconButtonName(GetDlgCtrlID(button), iconId);
}

void showName(HWND button) {
    if (const std::optional<ButtonName> name = nameOf(button)) {
        const String text(name->name);
        SetWindowTextW(button, text.c_str());
    }
}

LRESULT CALLBACK buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    switch (message) {
        case BM_SETIMAGE: {
            // The icon names the state (play mode, top-most, list).
            const LRESULT previous = DefSubclassProc(button, message, wParam, lParam);
            showName(button);
            return previous;
        }
        case WM_NOTIFY: {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (info->hdr.code != TTN_GETDISPINFOW)
                break;
            const std::optional<ButtonName> name = nameOf(button);
            const String text = name ? tooltipText(*name) : String();
            lstrcpynW(info->szText, text.c_str(), ARRAYSIZE(info->szText));
            info->lpszText = info->szText;
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(button, buttonProcedure, kNameSubclassId);
            break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

LRESULT CALLBACK sliderProcedure(HWND slider, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(slider, sliderProcedure, kNameSubclassId);
        if (const ComPtr<IAccPropServices> services = accPropServices()) {
            MSAAPROPID name = kAccessibleName;
            services->ClearHwndProps(slider, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name,
                                     1);
        }
    }
    return DefSubclassProc(slider, message, wParam, lParam);
}

void nameSlider(HWND slider, StringView name, IAccPropServices* services) {
    if (!slider)
        return;
    const String text(name);
    SetWindowTextW(slider, text.c_str());
    if (services &&
        SUCCEEDED(services->SetHwndPropStr(slider, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           kAccessibleName, text.c_str()))) {
        SetWindowSubclass(slider, sliderProcedure, kNameSubclassId, 0);
    }
}

}  // namespace

void nameControls(HWND window) {
    // Shown while the window is not active too: the pointer says what it
    // rests on whether or not the window has the focus.
    HWND tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
    for (const int id : kIconButtons) {
        HWND button = GetDlgItem(window, id);
        if (!button || !SetWindowSubclass(button, buttonProcedure, kNameSubclassId, 0))
            continue;
        showName(button);
        if (!tooltip)
            continue;
        // The button is asked for its text each time, so the text follows
        // the state its icon shows.
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = button;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    const ComPtr<IAccPropServices> services = accPropServices();
    nameSlider(GetDlgItem(window, IDC_SEEK_BAR), kSeekBarName, services.Get());
    nameSlider(GetDlgItem(window, IDC_VOLUME_SLIDER), kVolumeSliderName, services.Get());
}

}  // namespace zav2
