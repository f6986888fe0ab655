// The end-to-end driver: a console program run under Wine beside Zav2.exe
// that finds a running instance by its instance marker and drives it from
// outside. Each file of subcommands lists them in its own table, which
// driver_main_win.cpp gathers.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "arguments.h"

namespace zav2::driver {

// Exit codes: success or "yes"; failure, "no" or a time-out; a usage error.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

struct Context {
    Arguments arguments;
    String instanceName;      // --name; the program's own file name by default
    DWORD timeoutMs = 10000;  // --timeout for every wait

    const String& positional(size_t i) const { return arguments.positional[i]; }
    // An optional positional argument, empty when not given.
    String optional(size_t i) const {
        return i < arguments.positional.size() ? arguments.positional[i] : String();
    }
};

// A row of a table; what the subcommand takes is in the comment above it.
struct Subcommand {
    const wchar_t* name;
    int fewest, most;  // positional arguments
    int (*run)(Context&);
};

// The tables, by the file that holds them.
extern const std::span<const Subcommand> kWindowCommands;   // commands_instance_win.cpp
extern const std::span<const Subcommand> kMessageCommands;  // commands_messages_win.cpp
extern const std::span<const Subcommand> kControlCommands;  // commands_controls_win.cpp
extern const std::span<const Subcommand> kFileCommands;     // commands_files_win.cpp

// Output: UTF-8 lines on stdout, messages on stderr.
void print(StringView line);
void printError(StringView line);
String number(long long value);
// "x y width height"
String rectText(const RECT& rect);

// Positional and option values, reporting what was wrong with them.
std::optional<long long> integerArgument(const Context& context, size_t index);
std::optional<int> keyArgument(const Context& context, size_t index);

// Windows of the instance and of others.
bool hasMarker(HWND window, StringView instanceName);
// Polls every 50 ms until done() answers true or the time is up.
bool waitFor(DWORD timeoutMs, const std::function<bool()>& done);
// The first child (at any depth) of `parent`, or top-level window when it is
// null, that `wanted` accepts.
HWND findWindowWhere(HWND parent, const std::function<bool(HWND)>& wanted);
// The first top-level window that `wanted` accepts, waited for.
HWND waitForWindow(DWORD timeoutMs, const std::function<bool(HWND)>& wanted);
// The instance, waited for up to the time-out; reports a time-out itself.
HWND requireInstance(const Context& context);
// The child (at any depth) with this control id; -1 also finds 0xFFFF.
HWND findControl(HWND parent, int id);
// The instance's control with this id, the instance waited for; null
// (reported) when either is missing.
HWND requireControl(const Context& context, int id);
// The instance's control whose id is the first argument; null (reported)
// when it is missing.
HWND controlArgument(const Context& context);
// The window the message goes to: --control of the instance, else the
// instance itself; null (reported) when either is missing.
HWND targetWindow(const Context& context);
String windowTitle(HWND window);
String windowClass(HWND window);
// The first static control with text: a message box's text, a folder
// browser's title line.
String firstStaticText(HWND dialog, DWORD timeoutMs);
// Clicks the dialog's button and waits up to timeoutMs for the dialog to go.
bool pressButton(HWND dialog, int button, DWORD timeoutMs);
// WM_GETTEXT through a bounded send: works across processes for every
// control, where GetWindowText only sees the stored title.
std::optional<String> controlText(HWND window, DWORD timeoutMs);
// SendMessage that gives up after the time-out instead of hanging the test.
std::optional<LRESULT> sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   DWORD timeoutMs);

// Memory in the other process, for messages whose pointer arguments are read
// there (WM_DROPFILES, BFFM_SETSELECTIONW and TVM_GETITEMW are not
// marshalled).
class RemoteMemory {
  public:
    RemoteMemory(HWND window, size_t size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE,
                               processId);
        if (process_)
            memory_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteMemory() {
        if (memory_)
            VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    char* address() const { return memory_; }
    // Leaves the block to the other process (and its end).
    char* keep() { return std::exchange(memory_, nullptr); }
    bool write(size_t offset, const void* bytes, size_t size) {
        return memory_ && WriteProcessMemory(process_, memory_ + offset, bytes, size, nullptr);
    }
    bool read(size_t offset, void* bytes, size_t size) {
        return memory_ && ReadProcessMemory(process_, memory_ + offset, bytes, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

}  // namespace zav2::driver
