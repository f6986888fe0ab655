// Reads of what the program leaves on the clipboard, and the taskbar's shell
// objects.
#include <shobjidl.h>

#include "driver.h"

namespace zav2::driver {

int clipboardDib(Context&) {
    if (!OpenClipboard(nullptr)) {
        printError(ZT("cannot open the clipboard"));
        return kFailed;
    }
    int result = kFailed;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        if (header && size >= sizeof(BITMAPINFOHEADER) && header->biBitCount == 32 &&
            (header->biCompression == BI_RGB || header->biCompression == BI_BITFIELDS)) {
            const long long width = header->biWidth;
            const long long height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
            const size_t pixels =
                header->biSize + (header->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0);
            const size_t centre = static_cast<size_t>((height / 2) * width + width / 2) * 4;
            if (pixels + centre + 4 <= size) {
                const auto* bgra = reinterpret_cast<const BYTE*>(header) + pixels + centre;
                print(number(width) + ZT(" ") + number(height) + ZT(" ") + number(bgra[2]) +
                      ZT(" ") + number(bgra[1]) + ZT(" ") + number(bgra[0]));
                result = kOk;
            }
        } else {
            printError(ZT("the clipboard's DIB is not 32 bits per pixel"));
        }
        if (header)
            GlobalUnlock(data);
    } else {
        printError(ZT("no DIB on the clipboard"));
    }
    CloseClipboard();
    return result;
}

int taskbarButtonCreated(Context& context) {
    // What the shell sends when the window's taskbar button (re)appears.
    HWND instance = requireInstance(context);
    const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    if (!instance || !message)
        return kFailed;
    return sendBounded(instance, message, 0, 0, context.timeoutMs) ? kOk : kFailed;
}

int shellObjects(Context&) {
    // What this Wine offers the taskbar code, one line per object.
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::pair<const wchar_t*, const CLSID*> objects[] = {
        {L"TaskbarList", &CLSID_TaskbarList},
        {L"DestinationList", &CLSID_DestinationList},
        {L"EnumerableObjectCollection", &CLSID_EnumerableObjectCollection},
        {L"ShellLink", &CLSID_ShellLink},
    };
    for (const auto& [name, clsid] : objects) {
        IUnknown* object = nullptr;
        const HRESULT hr =
            CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
        if (object)
            object->Release();
        wchar_t code[16];
        wsprintfW(code, L"%08lx", static_cast<unsigned long>(hr));
        print(String(name) + (SUCCEEDED(hr) ? ZT(" yes") : ZT(" no 0x") + String(code)));
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return kOk;
}

}  // namespace zav2::driver
