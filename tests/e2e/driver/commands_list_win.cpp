// Subcommands that read the play list box (control 1001). List-box messages
// are marshalled between processes, so the texts arrive as they are.
#include "driver.h"

namespace zav2::driver {
namespace {

constexpr int kListBoxId = 1001;

// A list-box query; LB_ERR counts as a failure.
std::optional<LRESULT> ask(const Context& context, HWND list, UINT message, WPARAM wParam = 0,
                           LPARAM lParam = 0) {
    auto result = sendBounded(list, message, wParam, lParam, context.timeoutMs);
    return result && *result != LB_ERR ? result : std::nullopt;
}

int listCount(Context& context) {
    std::optional<long long> wanted;
    if (!context.arguments.positional.empty() && !(wanted = integerArgument(context, 0))) {
        return kUsage;
    }
    HWND list = requireControl(context, kListBoxId);
    if (!list) {
        return kFailed;
    }
    LRESULT last = -1;
    bool reached = waitFor(wanted ? context.timeoutMs : 0, [&] {
        last = ask(context, list, LB_GETCOUNT).value_or(-1);
        return last >= 0 && (!wanted || last == *wanted);
    });
    print(number(last));
    return reached ? kOk : kFailed;
}

int listItems(Context& context) {
    HWND list = requireControl(context, kListBoxId);
    auto count = list ? ask(context, list, LB_GETCOUNT) : std::nullopt;
    if (!count) {
        return kFailed;
    }
    for (WPARAM i = 0; i < static_cast<WPARAM>(*count); ++i) {
        auto length = ask(context, list, LB_GETTEXTLEN, i);
        if (!length) {
            return kFailed;
        }
        String text(static_cast<size_t>(*length) + 1, Char());
        auto copied = ask(context, list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        if (!copied) {
            return kFailed;
        }
        text.resize(static_cast<size_t>(*copied));
        print(text);
    }
    return kOk;
}

int listSelected(Context& context) {
    // The list box takes extended selections.
    HWND list = requireControl(context, kListBoxId);
    auto count = list ? ask(context, list, LB_GETSELCOUNT) : std::nullopt;
    if (!count) {
        return kFailed;
    }
    std::vector<int> items(static_cast<size_t>(*count) + 1);
    auto copied = ask(context, list, LB_GETSELITEMS, static_cast<WPARAM>(*count),
                      reinterpret_cast<LPARAM>(items.data()));
    if (!copied) {
        return kFailed;
    }
    for (LRESULT i = 0; i < *copied; ++i) {
        print(number(items[static_cast<size_t>(i)]));
    }
    return kOk;
}

constexpr Subcommand kTable[] = {
    {L"list-count", 0, 1, listCount, L"[n]: print the number of items, once there are n"},
    {L"list-items", 0, 0, listItems, L"print the items, one a line"},
    {L"list-selected", 0, 0, listSelected, L"print the selected item indexes, one a line"},
};

}  // namespace

constinit const std::span<const Subcommand> kListCommands = kTable;

}  // namespace zav2::driver
