// zav2-driver [--name N] [--timeout ms] <subcommand> [arguments] [options]
//
// To add a subcommand: write `int name(Context&)` in the file of its kind,
// declare it in driver.h and give it a row below.
#include <cstdio>

#include "driver.h"

namespace zav2::driver {
namespace {

struct Subcommand {
    const wchar_t* name;
    int arguments;  // exact number of positional arguments; -n: at least n
    int (*run)(Context&);
    const wchar_t* usage;
};

constexpr Subcommand kSubcommands[] = {
    {L"wait-window", 0, waitWindow, L"wait until the instance's marked window exists"},
    {L"wait-gone", 0, waitGone, L"wait until no window carries the marker"},
    {L"has-marker", 0, hasMarkerCommand, L"yes (0) / no (1): a marked window exists now"},
    {L"marker-count", 0, markerCount, L"print how many top-level windows carry the marker"},
    {L"caption", 0, caption, L"print the instance's caption"},
    {L"wait-caption", 1, waitCaption, L"<text> [--contains]: wait for the caption"},
    {L"window-rect", 0, windowRect, L"print the window's screen rectangle: x y w h"},
    {L"client-rect", 0, clientRect, L"print the client area's screen rectangle: x y w h"},
    {L"find-title", 1, findTitle, L"<text>: wait for any top-level window whose title has text"},
    {L"message-box", 0, messageBox,
     L"[--caption Zav2] [--press ok|cancel|yes|no]: wait for a message box, print its text"},
    {L"hotkey-taken", 1, hotkeyTaken, L"<vk>: yes (0) / no (1): another program holds the key"},
    {L"list-count", 0, listCount, L"print the number of items of list box 1001"},
    {L"wait-list-count", 1, waitListCount, L"<n>: wait until list box 1001 has n items"},
    {L"list-items", 0, listItems, L"print the items of list box 1001, one a line"},
    {L"list-selected", 0, listSelected, L"print the selected item indexes, one a line"},
    {L"command", 1, sendCommand, L"<id>: send WM_COMMAND id, print the result"},
    {L"post-command", 1, postCommand, L"<id>: post WM_COMMAND id"},
    {L"send", 3, sendMessageCommand, L"<msg> <wparam> <lparam> [--control id]: send, print result"},
    {L"post", 3, postMessageCommand, L"<msg> <wparam> <lparam> [--control id]: post"},
    {L"copydata", 1, sendCopyData,
     L"<text> [--no-terminator] [--size n]: send WM_COPYDATA with the text's ANSI bytes"},
    {L"drop", 1, dropFile, L"<path> [--control id]: post WM_DROPFILES with the path, mid-window"},
    {L"close", 0, closeInstance, L"post WM_CLOSE and wait until the window is gone"},
    {L"hotkey", 1, postHotkey, L"<vk>: post WM_HOTKEY (id 2409) for a media or volume key"},
    {L"key", 1, postKey, L"<vk> [--control id]: post WM_KEYDOWN and WM_KEYUP"},
    {L"control-rect", 1, controlRect,
     L"<id> [--screen]: print x y w h in client (or screen) coordinates"},
    {L"control-visible", 1, controlVisible, L"<id>: yes (0) / no (1)"},
    {L"control-text", 1, controlTextCommand, L"<id>: print the control's text"},
    {L"button-has-icon", 1, buttonHasIcon, L"<id>: yes (0) / no (1): BM_GETIMAGE gives an icon"},
    {L"window-style", 0, windowStyle, L"[--ex] [--control id]: print the (extended) style"},
    {L"popup-menu", 0, popupMenu, L"wait for a shown popup menu, print its screen x y w h"},
    {L"dlu-rect", 4, dluRect, L"<x> <y> <w> <h>: dialog units of the main dialog's font in pixels"},
    {L"clipboard-dib", 0, clipboardDib,
     L"print the clipboard DIB's width, height and centre pixel's red green blue"},
    {L"shell-objects", 0, shellObjects, L"print which taskbar and jump-list objects exist"},
    {L"taskbar-button-created", 0, taskbarButtonCreated,
     L"send the shell's TaskbarButtonCreated message to the instance"},
    {L"browse-folder", 1, browseFolder,
     L"<path> [--cancel]: answer the folder browser, print its title line"},
    {L"fill-dialog", 3, fillDialog,
     L"<title> <edit id> <text> [--cancel]: print the edit's text [selection], type, press OK"},
    {L"clipboard-files", 0, clipboardFiles, L"print the CF_HDROP paths and the drop effect"},
    {L"hold-clipboard", 1, holdClipboard, L"<ms>: keep the clipboard open that long"},
    {L"button-icon", -3, screenButtonIcon,
     L"<id> <exe> <icon id>...: which of the exe's icons the button shows on screen"},
    {L"menu-checks", -1, menuChecks,
     L"<pattern> [row height]: checked items (0-based) of the open popup menu, whose items "
     L"(i) and separators (-) the pattern lists; then closes it"},
    {L"context-menu", 1, contextMenu, L"<id>|caption: post WM_CONTEXTMENU for a right-click there"},
    {L"fake-instance", 0, fakeInstance,
     L"[--title T] [--no-marker] [--lifetime ms] [--hotkey vk,...]: a logging stand-in window"},
};

const std::vector<StringView> kValueOptions = {ZT("name"),     ZT("timeout"), ZT("control"),
                                               ZT("title"),    ZT("caption"), ZT("press"),
                                               ZT("lifetime"), ZT("hotkey"),  ZT("size")};

void printUsage() {
    print(ZT("usage: zav2-driver [--name N] [--timeout ms] <subcommand> [arguments]"));
    print(ZT("exit 0: done or yes; 1: failed, no or timed out; 2: usage error"));
    for (const Subcommand& subcommand : kSubcommands) {
        print(String(ZT("  ")) + subcommand.name + ZT(" ") + subcommand.usage);
    }
}

int run(std::vector<String> words) {
    Context context;
    context.arguments = parseArguments(words, kValueOptions);
    if (context.arguments.command == ZT("help")) {
        printUsage();
        return kOk;
    }
    if (!context.arguments.error.empty()) {
        printError(context.arguments.error);
        return kUsage;
    }
    context.instanceName = context.arguments.option(ZT("name")).value_or(ZT("Zav2.exe"));
    if (auto timeout = context.arguments.option(ZT("timeout"))) {
        auto parsed = parseInteger(*timeout);
        if (!parsed || *parsed < 0 || *parsed > 3600000) {
            printError(ZT("--timeout takes milliseconds"));
            return kUsage;
        }
        context.timeoutMs = static_cast<DWORD>(*parsed);
    }
    for (const Subcommand& subcommand : kSubcommands) {
        if (context.arguments.command != subcommand.name) {
            continue;
        }
        const size_t given = context.arguments.positional.size();
        const int wanted = subcommand.arguments;
        if (wanted >= 0 ? given != static_cast<size_t>(wanted)
                        : given < static_cast<size_t>(-wanted)) {
            printError(String(subcommand.name) + ZT(" ") + subcommand.usage);
            return kUsage;
        }
        return subcommand.run(context);
    }
    printError(ZT("unknown subcommand ") + context.arguments.command + ZT("; try help"));
    return kUsage;
}

}  // namespace
}  // namespace zav2::driver

int wmain(int argc, wchar_t** argv) {
    std::vector<zav2::String> words(argv + 1, argv + argc);
    return zav2::driver::run(std::move(words));
}
