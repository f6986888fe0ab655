// Subcommands about the controls of the instance's dialog, among them the
// play list box (control 1001), also as a screen reader (Microsoft Active
// Accessibility) shows them. List-box messages are
// marshalled between processes, so the texts arrive as they are.
#include "driver.h"

#include <commctrl.h>
#include <oleacc.h>

#include <wrl/client.h>

namespace zav2::driver {
namespace {

// The instance's (client area's) rectangle on the screen, or a control's in
// its window's client area (or on the screen).
int rect(Context& context, bool control) {
    HWND window = control ? controlArgument(context) : requireInstance(context);
    if (!window)
        return kFailed;
    RECT rect{};
    if (!control && context.arguments.flag(ZT("client"))) {
        GetClientRect(window, &rect);
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    } else {
        GetWindowRect(window, &rect);
    }
    if (control && !context.arguments.flag(ZT("screen"))) {
        MapWindowPoints(HWND_DESKTOP, GetAncestor(window, GA_ROOT), reinterpret_cast<POINT*>(&rect),
                        2);
    }
    print(rectText(rect));
    return kOk;
}

// The instance's caption or a control's text, once it is (--contains: holds)
// the text asked for; without one, as it is.
int text(Context& context, bool control) {
    HWND window = control ? controlArgument(context) : requireInstance(context);
    if (!window)
        return kFailed;
    const String wanted = context.optional(control ? 1 : 0);
    const bool contains = wanted.empty() || context.arguments.flag(ZT("contains"));
    std::optional<String> last;
    bool matched = waitFor(context.timeoutMs, [&] {
        last = control ? controlText(window, context.timeoutMs) : windowTitle(window);
        return !last || (contains ? last->find(wanted) != String::npos : *last == wanted);
    });
    if (!last)
        return kFailed;
    print(*last);
    return matched ? kOk : kFailed;
}

int windowStyle(Context& context) {
    HWND target = targetWindow(context);
    if (!target)
        return kFailed;
    print(number(static_cast<long long>(GetWindowLongPtrW(target, GWL_STYLE))));
    return kOk;
}

int dluRect(Context& context) {
    RECT rect{};
    LONG* fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    for (size_t i = 0; i < 4; ++i) {
        auto value = integerArgument(context, i);
        if (!value)
            return kUsage;
        *fields[i] = static_cast<LONG>(*value);
    }
    // A hidden dialog with the main window's font ("MS Shell Dlg", 8 points,
    // DS_SHELLFONT), whose MapDialogRect converts dialog units as the
    // program's own dialog does; MapDialogRect only works on a dialog of this
    // process. The extended template: version, signature, help id, extended
    // style, style, no items, place and size, no menu, class or title, then
    // the font.
    constexpr DWORD style = WS_POPUP | DS_SETFONT | DS_FIXEDSYS;
    // clang-format off
    const WORD dialogTemplate[] = {
        1, 0xFFFF, 0, 0, 0, 0, LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 0, 0, 0,
        8, FW_NORMAL, MAKEWORD(FALSE, DEFAULT_CHARSET), 'M', 'S', ' ', 'S', 'h', 'e', 'l', 'l', ' ', 'D', 'l', 'g', 0};
    // clang-format on
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

constexpr int kListBoxId = 1001;

// A list-box query; LB_ERR counts as a failure.
std::optional<LRESULT> ask(const Context& context, HWND list, UINT message, WPARAM wParam = 0,
                           LPARAM lParam = 0) {
    auto result = sendBounded(list, message, wParam, lParam, context.timeoutMs);
    return result && *result != LB_ERR ? result : std::nullopt;
}

int listCount(Context& context) {
    std::optional<long long> wanted;
    if (!context.arguments.positional.empty() && !(wanted = integerArgument(context, 0)))
        return kUsage;
    HWND list = requireControl(context, kListBoxId);
    if (!list)
        return kFailed;
    LRESULT last = -1;
    bool reached = waitFor(wanted ? context.timeoutMs : 0, [&] {
        last = ask(context, list, LB_GETCOUNT).value_or(-1);
        return last >= 0 && (!wanted || last == *wanted);
    });
    print(number(last));
    return reached ? kOk : kFailed;
}

int listItems(Context& context) {
    // One question a row, into a buffer longer than any row the program
    // makes (a path is at most 32,767 characters), and one write at the end:
    // each question crosses processes, and at 20,000 rows a length question
    // before each text doubled the time.
    std::optional<long long> every = 1;
    if (!context.arguments.positional.empty() &&
        (!(every = integerArgument(context, 0)) || *every < 1))
        return kUsage;
    HWND list = requireControl(context, kListBoxId);
    auto count = list ? ask(context, list, LB_GETCOUNT) : std::nullopt;
    if (!count)
        return kFailed;
    String text(size_t{1} << 15, Char());
    String all;
    const auto step = static_cast<WPARAM>(*every);
    for (WPARAM i = 0; i < static_cast<WPARAM>(*count); i += step) {
        auto copied = ask(context, list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        if (!copied)
            return kFailed;
        all.append(text.data(), static_cast<size_t>(*copied));
        all.push_back(Char('\n'));
    }
    if (!all.empty())
        all.pop_back();
    print(all);
    return kOk;
}

int listSelected(Context& context) {
    // One question for the whole selection (Wine carries the buffer across
    // processes): a row at a time takes minutes at 100,000 rows.
    HWND list = requireControl(context, kListBoxId);
    auto selectedCount = list ? ask(context, list, LB_GETSELCOUNT) : std::nullopt;
    if (!selectedCount)
        return kFailed;
    std::vector<int> rows(static_cast<size_t>(*selectedCount) + 1);
    auto got =
        ask(context, list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    if (!got || *got != *selectedCount)
        return kFailed;
    for (LRESULT i = 0; i < *got; ++i)
        print(number(static_cast<long long>(rows[static_cast<size_t>(i)])));
    return kOk;
}

// Whole rows the list's client area shows: its height over the row height.
int listRows(Context& context) {
    HWND list = requireControl(context, kListBoxId);
    auto rowHeight = list ? ask(context, list, LB_GETITEMHEIGHT) : std::nullopt;
    RECT client{};
    if (!rowHeight || *rowHeight <= 0 || !GetClientRect(list, &client))
        return kFailed;
    print(number(client.bottom / *rowHeight) + ZT(" ") + number(*rowHeight));
    return kOk;
}

// Written out: with the cross compiler's libraries the system answered
// E_NOINTERFACE to their IID_IAccessible.
constexpr IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The control's own name (CHILDID_SELF). COM stays initialised for the
// driver's life: an accessible object of another process is a proxy.
int accessibleName(Context& context) {
    HWND control = controlArgument(context);
    if (!control)
        return kFailed;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                            kAccessibleInterface, &accessible);
    if (SUCCEEDED(hr))
        hr = accessible->get_accName(self, &name);
    if (FAILED(hr)) {
        printError(ZT("no accessible name: ") + number(static_cast<long long>(hr)));
        return kFailed;
    }
    print(name ? String(name, SysStringLen(name)) : String());
    SysFreeString(name);
    return kOk;
}

constexpr Subcommand kTable[] = {
    // print the whole rows the list shows, and the row height
    {L"list-rows", 0, 0, listRows},
    // [n]: print the number of items, once there are n
    {L"list-count", 0, 1, listCount},
    // [n]: print the items, one a line; with n, every nth from the first
    {L"list-items", 0, 1, listItems},
    // print the selected item indexes, one a line
    {L"list-selected", 0, 0, listSelected},
    // [--client]: print the window's (client area's) x y w h on the screen
    {L"window-rect", 0, 0, [](Context& context) { return rect(context, false); }},
    // <id> [--screen]: print x y w h in client (or screen) coordinates
    {L"control-rect", 1, 1, [](Context& context) { return rect(context, true); }},
    // [text [--contains]]: print the caption, once it is the text
    {L"caption", 0, 1, [](Context& context) { return text(context, false); }},
    // <id> [text [--contains]]: print the control's text, once it is the text
    {L"control-text", 1, 2, [](Context& context) { return text(context, true); }},
    // [--control id]: print the style
    {L"window-style", 0, 0, windowStyle},
    // <x> <y> <w> <h>: dialog units of the main dialog's font
    {L"dlu-rect", 4, 4, dluRect},
    // <id>: print the control's name as a screen reader gets it (MSAA)
    {L"accessible-name", 1, 1, accessibleName},
};

}  // namespace

constinit const std::span<const Subcommand> kControlCommands = kTable;

}  // namespace zav2::driver
