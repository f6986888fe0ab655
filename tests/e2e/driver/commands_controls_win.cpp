// Subcommands about the controls of the instance's dialog.
#include "driver.h"

namespace zav2::driver {
namespace {

// The control named by the first argument.
HWND controlArgument(const Context& context, HWND* instance = nullptr) {
    auto id = integerArgument(context, 0);
    return id ? requireControl(context, static_cast<int>(*id), instance) : nullptr;
}

int controlRect(Context& context) {
    HWND instance = nullptr;
    HWND control = controlArgument(context, &instance);
    if (!control) {
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(control, &rect);
    if (!context.arguments.flag(ZT("screen"))) {
        MapWindowPoints(HWND_DESKTOP, instance, reinterpret_cast<POINT*>(&rect), 2);
    }
    print(rectText(rect));
    return kOk;
}

int controlTextCommand(Context& context) {
    HWND control = controlArgument(context);
    auto text = control ? controlText(control, context.timeoutMs) : std::nullopt;
    if (!text) {
        return kFailed;
    }
    print(*text);
    return kOk;
}

int windowStyle(Context& context) {
    HWND target = targetWindow(context);
    if (!target) {
        return kFailed;
    }
    const int index = context.arguments.flag(ZT("ex")) ? GWL_EXSTYLE : GWL_STYLE;
    print(number(static_cast<long long>(GetWindowLongPtrW(target, index))));
    return kOk;
}

int dluRect(Context& context) {
    RECT rect{};
    LONG* fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    for (size_t i = 0; i < 4; ++i) {
        auto value = integerArgument(context, i);
        if (!value) {
            return kUsage;
        }
        *fields[i] = static_cast<LONG>(*value);
    }
    // A hidden dialog with the main window's font ("MS Shell Dlg", 8 points,
    // DS_SHELLFONT), whose MapDialogRect converts dialog units as the
    // program's own dialog does; MapDialogRect only works on a dialog of this
    // process. The extended template: version, signature, help id, extended
    // style, style, no items, place and size, no menu, class or title, then
    // the font.
    constexpr DWORD style = WS_POPUP | DS_SETFONT | DS_FIXEDSYS;
    const WORD dialogTemplate[] = {1,
                                   0xFFFF,
                                   0,
                                   0,
                                   0,
                                   0,
                                   LOWORD(style),
                                   HIWORD(style),
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   8,
                                   FW_NORMAL,
                                   MAKEWORD(FALSE, DEFAULT_CHARSET),
                                   'M',
                                   'S',
                                   ' ',
                                   'S',
                                   'h',
                                   'e',
                                   'l',
                                   'l',
                                   ' ',
                                   'D',
                                   'l',
                                   'g',
                                   0};
    HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (!dialog) {
        printError(ZT("cannot create the measuring dialog"));
        return kFailed;
    }
    // Each field is converted on its own, as the dialog manager converts a
    // control's position and size: width and height stay widths.
    MapDialogRect(dialog, &rect);
    DestroyWindow(dialog);
    print(number(rect.left) + ZT(" ") + number(rect.top) + ZT(" ") + number(rect.right) + ZT(" ") +
          number(rect.bottom));
    return kOk;
}

int popupMenu(Context& context) {
    // Its items cannot be read from another process under Wine (menu handles
    // are the owner's), so the scenario chooses an item by keys and checks
    // the effect.
    HWND popup = waitForPopupMenu(context.timeoutMs);
    if (!popup) {
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(popup, &rect);
    print(rectText(rect));
    return kOk;
}

constexpr Subcommand kTable[] = {
    {L"control-rect", 1, 1, controlRect,
     L"<id> [--screen]: print x y w h in client (or screen) "
     L"coordinates"},
    {L"control-text", 1, 1, controlTextCommand, L"<id>: print the control's text"},
    {L"window-style", 0, 0, windowStyle, L"[--ex] [--control id]: print the (extended) style"},
    {L"popup-menu", 0, 0, popupMenu, L"wait for a shown popup menu, print its screen x y w h"},
    {L"dlu-rect", 4, 4, dluRect, L"<x> <y> <w> <h>: dialog units of the main dialog's font"},
};

}  // namespace

constinit const std::span<const Subcommand> kControlCommands = kTable;

}  // namespace zav2::driver
