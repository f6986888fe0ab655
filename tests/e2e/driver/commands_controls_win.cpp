// Subcommands about the controls of the instance's dialog.
#include "driver.h"

namespace zav2::driver {
namespace {

// The control named by the first argument.
HWND controlArgument(const Context& context, HWND* instance = nullptr) {
    auto id = integerArgument(context, 0);
    return id ? requireControl(context, static_cast<int>(*id), instance) : nullptr;
}

// A hidden dialog with the main window's font ("MS Shell Dlg", 8 points,
// DS_SHELLFONT), whose MapDialogRect converts dialog units as the program's
// own dialog does. MapDialogRect only works on a dialog of this process.
HWND createMeasuringDialog() {
    std::vector<WORD> words;
    auto put32 = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    words.push_back(1);       // dlgVer
    words.push_back(0xFFFF);  // signature: extended template
    put32(0);                 // helpID
    put32(0);                 // exStyle
    put32(WS_POPUP | DS_SETFONT | DS_FIXEDSYS);
    words.push_back(0);  // no items
    for (int i = 0; i < 4; ++i) {
        words.push_back(0);  // x, y, cx, cy
    }
    words.push_back(0);  // no menu
    words.push_back(0);  // default class
    words.push_back(0);  // no title
    words.push_back(8);  // point size
    words.push_back(FW_NORMAL);
    words.push_back(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
    for (const wchar_t* face = L"MS Shell Dlg"; *face; ++face) {
        words.push_back(static_cast<WORD>(*face));
    }
    words.push_back(0);
    return CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
}

}  // namespace

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

int controlVisible(Context& context) {
    HWND control = controlArgument(context);
    if (!control) {
        return kFailed;
    }
    bool visible = IsWindowVisible(control);
    print(visible ? ZT("yes") : ZT("no"));
    return visible ? kOk : kFailed;
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

int buttonHasIcon(Context& context) {
    HWND control = controlArgument(context);
    if (!control) {
        return kFailed;
    }
    auto icon = sendBounded(control, BM_GETIMAGE, IMAGE_ICON, 0, context.timeoutMs);
    if (!icon) {
        return kFailed;
    }
    bool hasIcon = *icon != 0;
    print(hasIcon ? ZT("yes") : ZT("no"));
    return hasIcon ? kOk : kFailed;
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
    HWND dialog = createMeasuringDialog();
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

}  // namespace zav2::driver

namespace zav2::driver {

int windowStyle(Context& context) {
    HWND target = targetWindow(context);
    if (!target) {
        return kFailed;
    }
    const int index = context.arguments.flag(ZT("ex")) ? GWL_EXSTYLE : GWL_STYLE;
    print(number(static_cast<long long>(GetWindowLongPtrW(target, index))));
    return kOk;
}

int popupMenu(Context& context) {
    // A shown popup menu is a visible top-level window of the menu class. Its
    // items cannot be read from another process under Wine (menu handles are
    // the owner's), so the scenario chooses an item by keys and checks the
    // effect.
    HWND popup = nullptr;
    const bool shown = waitFor(context.timeoutMs, [&] {
        popup = FindWindowW(L"#32768", nullptr);
        return popup && IsWindowVisible(popup);
    });
    if (!shown) {
        printError(ZT("no popup menu shows"));
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(popup, &rect);
    print(rectText(rect));
    return kOk;
}

}  // namespace zav2::driver
