// Subcommands that look at the instance as a screen reader does (Microsoft
// Active Accessibility) and at its tooltips.
#include "driver.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>

namespace zav2::driver {
namespace {

// Written out: with the cross compiler's libraries the system answered
// E_NOINTERFACE to their IID_IAccessible.
constexpr IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

class ComScope {
  public:
    ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialized_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialized_;
};

struct AccessibleDeleter {
    void operator()(IAccessible* accessible) const { accessible->Release(); }
};
using AccessibleOwner = std::unique_ptr<IAccessible, AccessibleDeleter>;

AccessibleOwner accessibleOf(HWND control) {
    IAccessible* accessible = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kAccessibleInterface,
                                   reinterpret_cast<void**>(&accessible));
    if (FAILED(hr) || !accessible) {
        printError(ZT("no accessible object: ") + number(static_cast<long long>(hr)));
        return nullptr;
    }
    return AccessibleOwner(accessible);
}

// The name of child `child` (CHILDID_SELF: the object itself); empty when it
// has none.
std::optional<String> nameOf(IAccessible& accessible, long child) {
    VARIANT which;
    VariantInit(&which);
    which.vt = VT_I4;
    which.lVal = child;
    BSTR name = nullptr;
    const HRESULT hr = accessible.get_accName(which, &name);
    if (FAILED(hr)) {
        printError(ZT("get_accName failed: ") + number(static_cast<long long>(hr)));
        return std::nullopt;
    }
    String text = name ? String(name, SysStringLen(name)) : String();
    SysFreeString(name);
    return text;
}

// The control's own name, or its children's names one a line.
int accessibleNames(Context& context, bool children) {
    HWND control = controlArgument(context);
    if (!control)
        return kFailed;
    const ComScope com;
    const AccessibleOwner accessible = accessibleOf(control);
    long count = 0;
    if (!accessible || (children && FAILED(accessible->get_accChildCount(&count))))
        return kFailed;
    for (long child = children ? 1 : CHILDID_SELF; child <= (children ? count : CHILDID_SELF);
         ++child) {
        const std::optional<String> name = nameOf(*accessible, child);
        if (!name)
            return kFailed;
        print(*name);
    }
    return kOk;
}

// A shown tooltip of the instance: its text, once it has the text asked for.
int tooltip(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance)
        return kFailed;
    const String wanted = context.optional(0);
    String last;
    HWND shown = waitForWindow(context.timeoutMs, [&](HWND window) {
        if (!IsWindowVisible(window) || windowClass(window) != TOOLTIPS_CLASSW ||
            GetWindow(window, GW_OWNER) != instance)
            return false;
        last = controlText(window, context.timeoutMs).value_or(String());
        return !last.empty() && last.find(wanted) != String::npos;
    });
    if (!shown) {
        printError(ZT("no tooltip shows \"") + wanted + ZT("\""));
        return kFailed;
    }
    RECT rect{};
    GetWindowRect(shown, &rect);
    print(last);
    print(rectText(rect));
    return kOk;
}

constexpr Subcommand kTable[] = {
    {L"accessible-name", 1, 1, [](Context& context) { return accessibleNames(context, false); },
     L"<id>: print the control's name as a screen reader gets it (MSAA)"},
    {L"accessible-children", 1, 1, [](Context& context) { return accessibleNames(context, true); },
     L"<id>: print the names of the control's MSAA children, one a line"},
    {L"tooltip", 0, 1, tooltip,
     L"[text]: wait for a shown tooltip of the instance, print its text and x y w h"},
};

}  // namespace

constinit const std::span<const Subcommand> kAccessCommands = kTable;

}  // namespace zav2::driver
