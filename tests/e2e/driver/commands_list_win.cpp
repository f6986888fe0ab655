// Subcommands that read the play list box (control 1001). List-box messages
// are marshalled between processes, so the texts arrive as they are.
#include "driver.h"

namespace zav2::driver {
namespace {

constexpr int kListBoxId = 1001;

HWND requireList(const Context& context) {
    return requireControl(context, kListBoxId);
}

std::optional<LRESULT> itemCount(const Context& context, HWND list) {
    auto count = sendBounded(list, LB_GETCOUNT, 0, 0, context.timeoutMs);
    if (count && *count == LB_ERR) {
        printError(ZT("LB_GETCOUNT failed"));
        return std::nullopt;
    }
    return count;
}

}  // namespace

int listCount(Context& context) {
    HWND list = requireList(context);
    auto count = list ? itemCount(context, list) : std::nullopt;
    if (!count) {
        return kFailed;
    }
    print(number(*count));
    return kOk;
}

int waitListCount(Context& context) {
    auto wanted = integerArgument(context, 0);
    if (!wanted) {
        return kUsage;
    }
    HWND list = requireList(context);
    if (!list) {
        return kFailed;
    }
    LRESULT last = -1;
    bool reached = waitFor(context.timeoutMs, [&] {
        auto count = itemCount(context, list);
        last = count.value_or(-1);
        return count && *count == *wanted;
    });
    print(number(last));
    return reached ? kOk : kFailed;
}

int listItems(Context& context) {
    HWND list = requireList(context);
    auto count = list ? itemCount(context, list) : std::nullopt;
    if (!count) {
        return kFailed;
    }
    for (LRESULT i = 0; i < *count; ++i) {
        auto length =
            sendBounded(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, context.timeoutMs);
        if (!length || *length == LB_ERR) {
            return kFailed;
        }
        String text(static_cast<size_t>(*length) + 1, Char());
        auto copied = sendBounded(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(text.data()), context.timeoutMs);
        if (!copied || *copied == LB_ERR) {
            return kFailed;
        }
        text.resize(static_cast<size_t>(*copied));
        print(text);
    }
    return kOk;
}

int listSelected(Context& context) {
    HWND list = requireList(context);
    if (!list) {
        return kFailed;
    }
    auto count = sendBounded(list, LB_GETSELCOUNT, 0, 0, context.timeoutMs);
    if (!count) {
        return kFailed;
    }
    if (*count == LB_ERR) {
        // A single-selection list box: its one selected item, if any.
        auto current = sendBounded(list, LB_GETCURSEL, 0, 0, context.timeoutMs);
        if (!current) {
            return kFailed;
        }
        if (*current != LB_ERR) {
            print(number(*current));
        }
        return kOk;
    }
    std::vector<int> items(static_cast<size_t>(*count) + 1);
    auto copied = sendBounded(list, LB_GETSELITEMS, static_cast<WPARAM>(*count),
                              reinterpret_cast<LPARAM>(items.data()), context.timeoutMs);
    if (!copied || *copied == LB_ERR) {
        return kFailed;
    }
    for (LRESULT i = 0; i < *copied; ++i) {
        print(number(items[static_cast<size_t>(i)]));
    }
    return kOk;
}

}  // namespace zav2::driver
