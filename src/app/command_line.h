// What a start of the program was asked to do: its instance name, a control
// switch, the path to open, and the bytes a second start forwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace zav2 {

// Longest forwarded command line in bytes and longest instance name in units.
inline constexpr size_t kMaxForwardedBytes = 259;
inline constexpr size_t kMaxInstanceNameLength = 255;

// The command-line arguments after the program path, as the second start sees
// them: bytes in the ANSI code page.
// The instance name: "-name" up to the first space when the arguments start
// with "-", else the program's own file name.
String instanceNameFor(std::string_view argumentBytes, StringView programFileName);

// The instance name also names the instance's own settings file and resume
// list beside the program: a name that could not be a file name, or that would
// lead out of the program's folder, is not usable.
bool instanceNameIsUsable(StringView instanceName);

// "/Play", "/Stop" and "/Next" anywhere in the arguments (case-sensitive, tested
// in this order) ask the running instance for a command; 0 when there is none.
int controlCommandFor(std::string_view argumentBytes);

// Splits a command line by the platform's rules: whitespace separates
// arguments, double quotes group, 2n backslashes before a quote give n and
// open/close, 2n+1 give n and a literal quote. The first argument (the
// program) is taken up to the first whitespace, or between its quotes,
// without backslash processing.
std::vector<String> splitCommandLine(StringView commandLine, bool firstIsProgram = true);

// The path a start (or a forwarded command line) names: after an optional
// leading "-instance" argument. Arguments are without the program path.
String pathArgument(const std::vector<String>& arguments);

// Copies forwarded bytes as a receiver must: at most kMaxForwardedBytes, up to
// the first terminator, never past `size`.
std::string copyForwardedBytes(const void* data, size_t size);

}  // namespace zav2
