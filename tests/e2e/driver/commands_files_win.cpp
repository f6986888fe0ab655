// Subcommands for the file operations and the clipboard: the folder browser,
// a small dialog's edit box, and what the program leaves on the clipboard as
// a program that pastes sees it.
#include "driver.h"

#include "platform/path.h"

#include <shellapi.h>
#include <commctrl.h>
#include <shlobj.h>

namespace zav2::driver {
namespace {

HWND childOfClass(HWND parent, StringView className) {
    return findWindowWhere(
        parent, [&](HWND child) { return equalsIgnoreCase(windowClass(child), className); });
}

// A visible dialog of the instance's process that the test waits for.
HWND waitDialog(const Context& context, const std::function<bool(HWND)>& wanted) {
    HWND instance = requireInstance(context);
    DWORD process = 0;
    if (!instance || !GetWindowThreadProcessId(instance, &process))
        return nullptr;
    return waitForWindow(context.timeoutMs, [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == process && IsWindowVisible(window) && windowClass(window) == ZT("#32770") &&
               wanted(window);
    });
}

// The clipboard, open while this lives. Another program may have it open
// for a moment: Wine's X11 side opens it after every change, to offer the
// new data to X, so it is asked for again until the timeout.
struct OpenClipboardScope {
    const bool open;
    explicit OpenClipboardScope(DWORD timeoutMs)
        : open(waitFor(timeoutMs, [] { return OpenClipboard(nullptr) != FALSE; })) {
        if (!open)
            printError(ZT("the clipboard is held by another program"));
    }
    ~OpenClipboardScope() {
        if (open)
            CloseClipboard();
    }
};

// The text of the tree's selected item, read in the program's memory.
String selectedTreeText(HWND tree, RemoteMemory& memory, DWORD timeoutMs) {
    const auto item = sendBounded(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, timeoutMs);
    if (!item || !*item)
        return {};
    constexpr size_t kTextOffset = 512;
    TVITEMW request{};
    request.mask = TVIF_TEXT;
    request.hItem = reinterpret_cast<HTREEITEM>(*item);
    request.pszText = reinterpret_cast<wchar_t*>(memory.address() + kTextOffset);
    request.cchTextMax = MAX_PATH;
    wchar_t text[MAX_PATH] = {};
    if (!memory.write(0, &request, sizeof request) ||
        !sendBounded(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.address()),
                     timeoutMs) ||
        !memory.read(kTextOffset, text, sizeof text - sizeof(wchar_t))) {
        return {};
    }
    return text;
}

// Selects the item named `name` among the children of the selected item or
// of its parent, through the tree itself.
void selectTreeItem(HWND tree, RemoteMemory& memory, StringView name, DWORD timeoutMs) {
    const auto selected = sendBounded(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, timeoutMs);
    if (!selected || !*selected)
        return;
    const auto parent = sendBounded(tree, TVM_GETNEXTITEM, TVGN_PARENT, *selected, timeoutMs);
    for (LRESULT holder : {*selected, parent.value_or(0)}) {
        if (!holder)
            continue;
        sendBounded(tree, TVM_EXPAND, TVE_EXPAND, holder, timeoutMs);
        auto item = sendBounded(tree, TVM_GETNEXTITEM, TVGN_CHILD, holder, timeoutMs);
        while (item && *item) {
            sendBounded(tree, TVM_SELECTITEM, TVGN_CARET, *item, timeoutMs);
            if (equalsIgnoreCase(selectedTreeText(tree, memory, timeoutMs), name))
                return;
            item = sendBounded(tree, TVM_GETNEXTITEM, TVGN_NEXT, *item, timeoutMs);
        }
    }
    sendBounded(tree, TVM_SELECTITEM, TVGN_CARET, *selected, timeoutMs);
}

int browseFolder(Context& context) {
    HWND dialog = waitDialog(
        context, [](HWND window) { return childOfClass(window, ZT("SysTreeView32")) != nullptr; });
    if (!dialog) {
        printError(ZT("no folder browser"));
        return kFailed;
    }
    print(firstStaticText(dialog, context.timeoutMs));
    const String& path = context.positional(0);
    RemoteMemory memory(dialog, 4096);
    HWND tree = childOfClass(dialog, ZT("SysTreeView32"));
    if (!memory.address() || !memory.write(2048, path.c_str(), (path.size() + 1) * 2)) {
        printError(ZT("could not write into the program"));
        return kFailed;
    }
    // The program selects its start folder again at the first change of the
    // selection: ask until the folder's own item is the selected one. A
    // drive's root is named by its letter among other words ("zav2 (Y:)").
    const bool root = fileName(path).empty();
    const String wanted = root ? toLower(path.substr(0, 2)) : String(fileName(path));
    String seen;
    const bool selected = waitFor(context.timeoutMs, [&] {
        sendBounded(dialog, BFFM_SETSELECTIONW, TRUE,
                    reinterpret_cast<LPARAM>(memory.address() + 2048), context.timeoutMs);
        Sleep(300);
        seen = selectedTreeText(tree, memory, context.timeoutMs);
        if (root)
            return toLower(seen).find(wanted) != String::npos;
        if (equalsIgnoreCase(seen, wanted))
            return true;
        // Wine's browser sometimes ignores the request: pick the item.
        selectTreeItem(tree, memory, wanted, context.timeoutMs);
        Sleep(300);
        seen = selectedTreeText(tree, memory, context.timeoutMs);
        return equalsIgnoreCase(seen, wanted);
    });
    if (!selected) {
        printError(ZT("the browser does not select ") + path + ZT(" but ") + seen);
        pressButton(dialog, IDCANCEL, context.timeoutMs);
        return kFailed;
    }
    return pressButton(dialog, IDOK, context.timeoutMs) ? kOk : kFailed;
}

int fillDialog(Context& context) {
    auto id = integerArgument(context, 1);
    const String title = context.positional(0);
    HWND dialog =
        id ? waitDialog(context, [&](HWND window) { return windowTitle(window) == title; })
           : nullptr;
    HWND edit = dialog ? findControl(dialog, static_cast<int>(*id)) : nullptr;
    if (!edit) {
        printError(ZT("no dialog \"") + title + ZT("\" with control ") + context.positional(1));
        return kFailed;
    }
    // What the dialog offered: the text and the selected range.
    DWORD start = 0;
    DWORD end = 0;
    sendBounded(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end),
                context.timeoutMs);
    print(controlText(edit, context.timeoutMs).value_or(String()) + ZT(" [") + number(start) +
          ZT(",") + number(end) + ZT("]"));
    const String& text = context.positional(2);
    sendBounded(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), context.timeoutMs);
    // OK may be refused (a message box over the dialog): do not wait for it.
    pressButton(dialog, IDOK, 0);
    return kOk;
}

int clipboardFiles(Context& context) {
    OpenClipboardScope clipboard(context.timeoutMs);
    if (!clipboard.open)
        return kFailed;
    HANDLE drop = GetClipboardData(CF_HDROP);
    if (drop) {
        const UINT count = DragQueryFileW(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[MAX_PATH * 2] = {};
            DragQueryFileW(static_cast<HDROP>(drop), i, path, MAX_PATH * 2);
            print(path);
        }
    } else {
        printError(ZT("no CF_HDROP on the clipboard"));
    }
    const UINT effectFormat = RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
    if (HANDLE effect = GetClipboardData(effectFormat)) {
        if (const auto* value = static_cast<const DWORD*>(GlobalLock(effect))) {
            print(ZT("effect ") + number(*value));
            GlobalUnlock(effect);
        }
    } else {
        print(ZT("effect none"));
    }
    return drop ? kOk : kFailed;
}

int clipboardDib(Context& context) {
    OpenClipboardScope clipboard(context.timeoutMs);
    if (!clipboard.open)
        return kFailed;
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
    return result;
}

int holdClipboard(Context& context) {
    auto milliseconds = integerArgument(context, 0);
    if (!milliseconds)
        return kUsage;
    OpenClipboardScope clipboard(context.timeoutMs);
    if (!clipboard.open)
        return kFailed;
    print(ZT("held"));  // for a script to wait on
    Sleep(static_cast<DWORD>(*milliseconds));
    return kOk;
}

constexpr Subcommand kTable[] = {
    // <path>: answer the folder browser, print its title
    {L"browse-folder", 1, 1, browseFolder},
    // <title> <edit id> <text>: print the edit's text [selection], type, press OK
    {L"fill-dialog", 3, 3, fillDialog},
    // print the CF_HDROP paths and the drop effect
    {L"clipboard-files", 0, 0, clipboardFiles},
    // print the clipboard DIB's width, height and centre pixel's red green blue
    {L"clipboard-dib", 0, 0, clipboardDib},
    // <ms>: keep the clipboard open that long (prints "held" once it is)
    {L"hold-clipboard", 1, 1, holdClipboard},
};

}  // namespace

constinit const std::span<const Subcommand> kFileCommands = kTable;

}  // namespace zav2::driver
