// Subcommands that send or post messages to the instance or one of its
// controls (--control id).
#include <cstring>
#include <vector>

#include "driver.h"

namespace zav2::driver {
namespace {

constexpr WPARAM kHotKeyId = 2409;  // the one id the program registers its media keys with

struct MessageParts {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::optional<MessageParts> messageArguments(const Context& context) {
    auto message = parseMessage(context.positional(0));
    if (!message) {
        printError(ZT("not a message: ") + context.positional(0));
        return std::nullopt;
    }
    auto wParam = integerArgument(context, 1);
    auto lParam = integerArgument(context, 2);
    if (!wParam || !lParam) {
        return std::nullopt;
    }
    return MessageParts{*message, static_cast<WPARAM>(*wParam), static_cast<LPARAM>(*lParam)};
}

int posted(BOOL ok) {
    if (!ok) {
        printError(ZT("PostMessage failed"));
        return kFailed;
    }
    return kOk;
}

// Posts the message, or sends it and prints the answer.
int deliver(const Context& context, HWND target, MessageParts parts, bool post) {
    if (!target)
        return kFailed;
    if (post)
        return posted(PostMessageW(target, parts.message, parts.wParam, parts.lParam));
    auto result = sendBounded(target, parts.message, parts.wParam, parts.lParam, context.timeoutMs);
    if (!result)
        return kFailed;
    print(number(*result));
    return kOk;
}

// A menu command to the instance.
int command(Context& context, bool post) {
    auto id = integerArgument(context, 0);
    if (!id)
        return kUsage;
    return deliver(context, requireInstance(context),
                   {WM_COMMAND, MAKEWPARAM(static_cast<WORD>(*id), 0), 0}, post);
}

// Any message to the instance or to --control.
int message(Context& context, bool post) {
    auto parts = messageArguments(context);
    if (!parts)
        return kUsage;
    return deliver(context, targetWindow(context), *parts, post);
}

}  // namespace

int sendCommand(Context& context) {
    return command(context, false);
}

int postCommand(Context& context) {
    return command(context, true);
}

int sendMessageCommand(Context& context) {
    return message(context, false);
}

int postMessageCommand(Context& context) {
    return message(context, true);
}

int closeInstance(Context& context) {
    HWND instance = requireInstance(context);
    if (!instance) {
        return kFailed;
    }
    if (!PostMessageW(instance, WM_CLOSE, 0, 0)) {
        return posted(FALSE);
    }
    if (!waitFor(context.timeoutMs, [&] { return !IsWindow(instance); })) {
        printError(ZT("the window is still open after WM_CLOSE"));
        return kFailed;
    }
    return kOk;
}

int postHotkey(Context& context) {
    auto key = keyArgument(context, 0);
    if (!key) {
        return kUsage;
    }
    HWND instance = requireInstance(context);
    return instance ? posted(PostMessageW(instance, WM_HOTKEY, kHotKeyId, MAKELPARAM(0, *key)))
                    : kFailed;
}

int postKey(Context& context) {
    auto key = keyArgument(context, 0);
    if (!key) {
        return kUsage;
    }
    HWND target = targetWindow(context);
    if (!target) {
        return kFailed;
    }
    // Posted, so the program's message loop (and its accelerator table) sees
    // the key as if typed into that window. Modifier state cannot be posted:
    // Ctrl and Shift combinations need real key events (xdotool).
    const LPARAM scan =
        static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(*key), MAPVK_VK_TO_VSC)) << 16;
    const LPARAM up = (1LL << 30) | (1LL << 31);
    return posted(PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(*key), 1 | scan) &&
                  PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(*key), 1 | scan | up));
}

int sendCopyData(Context& context) {
    // The text in the ANSI code page, as a second start forwards it; the
    // options shape hostile payloads: no terminator, or any byte count
    // (padded with 'X' or cut).
    std::string bytes = utf16ToAnsi(context.positional(0));
    if (!context.arguments.flag(ZT("no-terminator"))) {
        bytes.push_back('\0');
    }
    if (auto size = context.arguments.option(ZT("size"))) {
        auto parsed = parseInteger(*size);
        if (!parsed || *parsed < 0 || *parsed > 1 << 20) {
            printError(ZT("--size takes a byte count up to 1 MiB"));
            return kUsage;
        }
        bytes.resize(static_cast<size_t>(*parsed), 'X');
    }
    HWND instance = requireInstance(context);
    if (!instance) {
        return kFailed;
    }
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : bytes.data();
    auto result =
        sendBounded(instance, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), context.timeoutMs);
    if (!result) {
        return kFailed;
    }
    print(number(*result));
    return kOk;
}

}  // namespace zav2::driver

namespace zav2::driver {

int dropFile(Context& context) {
    HWND target = targetWindow(context);
    if (!target) {
        return kFailed;
    }
    // DROPFILES with one wide path and the list's closing empty string, at
    // the middle of the target's client area.
    const String& path = context.positional(0);
    std::vector<char> block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(Char));
    RECT client{};
    GetClientRect(target, &client);
    DROPFILES files{};
    files.pFiles = sizeof(DROPFILES);
    files.pt = {client.right / 2, client.bottom / 2};
    files.fWide = TRUE;
    std::memcpy(block.data(), &files, sizeof files);
    std::memcpy(block.data() + sizeof files, path.data(), path.size() * sizeof(Char));
    // A memory block of this process means nothing in the program's, so the
    // block is written into that process; a plain pointer there passes for a
    // fixed global block. It is left for the receiver (and the process end).
    DWORD processId = 0;
    GetWindowThreadProcessId(target, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = process ? VirtualAllocEx(process, nullptr, block.size(),
                                            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                           : nullptr;
    const bool written =
        remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    if (process)
        CloseHandle(process);
    if (!written) {
        printError(ZT("cannot write the drop into the program"));
        return kFailed;
    }
    return posted(PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0));
}

}  // namespace zav2::driver
