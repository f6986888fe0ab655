// The end-to-end driver: a console program run under Wine beside Zav2.exe
// that finds a running instance by its instance marker and drives it from
// outside. Each subcommand is one function in the table of driver_main_win.cpp.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <optional>
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
};

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
std::vector<HWND> findInstances(StringView instanceName);
HWND findInstance(StringView instanceName);
// Polls every 50 ms until done() answers true or the time is up.
bool waitFor(DWORD timeoutMs, const std::function<bool()>& done);
// The instance, waited for up to the time-out; reports a time-out itself.
HWND requireInstance(const Context& context);
// The first child (at any depth) of `parent`, or top-level window when it is
// null, that `wanted` accepts.
HWND findWindowWhere(HWND parent, const std::function<bool(HWND)>& wanted);
// The child (at any depth) with this control id; -1 also finds 0xFFFF.
HWND findControl(HWND parent, int id);
// The instance's control with this id, the instance waited for; null
// (reported) when either is missing.
HWND requireControl(const Context& context, int id, HWND* instance = nullptr);
// The window the message goes to: --control of the instance, else the
// instance itself; null (reported) when either is missing.
HWND targetWindow(const Context& context);
String windowTitle(HWND window);
String windowClass(HWND window);
// The first static control with text: a message box's text, a folder
// browser's title line.
String firstStaticText(HWND dialog, DWORD timeoutMs);
// WM_GETTEXT through a bounded send: works across processes for every
// control, where GetWindowText only sees the stored title.
std::optional<String> controlText(HWND window, DWORD timeoutMs);
// SendMessage that gives up after the time-out instead of hanging the test.
std::optional<LRESULT> sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   DWORD timeoutMs);

// Subcommands, by the file that holds them.
// commands_instance_win.cpp
int waitWindow(Context& context);
int waitGone(Context& context);
int hasMarkerCommand(Context& context);
int markerCount(Context& context);
int caption(Context& context);
int waitCaption(Context& context);
int windowRect(Context& context);
int clientRect(Context& context);
int findTitle(Context& context);
int messageBox(Context& context);
int hotkeyTaken(Context& context);
// commands_list_win.cpp
int listCount(Context& context);
int waitListCount(Context& context);
int listItems(Context& context);
int listSelected(Context& context);
// commands_messages_win.cpp
int sendCommand(Context& context);
int postCommand(Context& context);
int sendMessageCommand(Context& context);
int postMessageCommand(Context& context);
int closeInstance(Context& context);
int postHotkey(Context& context);
int postKey(Context& context);
int sendCopyData(Context& context);
int dropFile(Context& context);
// commands_controls_win.cpp
int controlRect(Context& context);
int controlVisible(Context& context);
int controlTextCommand(Context& context);
int buttonHasIcon(Context& context);
int dluRect(Context& context);
int windowStyle(Context& context);
int popupMenu(Context& context);
// commands_shell_win.cpp
int clipboardDib(Context& context);
int shellObjects(Context& context);
int taskbarButtonCreated(Context& context);
// commands_files_win.cpp
int browseFolder(Context& context);
int fillDialog(Context& context);
int clipboardFiles(Context& context);
int holdClipboard(Context& context);
// commands_pixels_win.cpp
int screenButtonIcon(Context& context);
int menuChecks(Context& context);
int contextMenu(Context& context);
// fake_instance_win.cpp
int fakeInstance(Context& context);

}  // namespace zav2::driver
