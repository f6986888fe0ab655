// Text types and conversions shared by every part of the program.
//
// Text is UTF-16 code units in both builds: wchar_t on Windows, so Win32 calls
// take .c_str() directly, and char16_t elsewhere, so native tests see the same
// units, lengths and limits as Windows does.
#pragma once

#include <string>
#include <string_view>

namespace zav2 {

#ifdef _WIN32
using Char = wchar_t;
#define ZT(s) L##s
#else
using Char = char16_t;
#define ZT(s) u##s
#endif
using String = std::basic_string<Char>;
using StringView = std::basic_string_view<Char>;

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD, as the Windows converter
// does without MB_ERR_INVALID_CHARS; a UTF-8 byte order mark is kept as U+FEFF.
String utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(StringView text);

// The ANSI code page: the thread's ANSI page on Windows; code page 932
// (Shift_JIS) elsewhere unless a test chooses another.
String ansiToUtf16(std::string_view bytes);
std::string utf16ToAnsi(StringView text);
int ansiCodePage();
#ifndef _WIN32
// Native builds only: choose the page ansiToUtf16 uses (932, 1252, 65001 ...).
void setAnsiCodePage(int codePage);
#endif

// Little- and big-endian UTF-16 byte strings (tags, lists with a BOM). An odd
// trailing byte is dropped.
String utf16leToString(std::string_view bytes);
String utf16beToString(std::string_view bytes);

// Case-insensitive comparison of UTF-16 text with the simple (ASCII and Latin)
// upper-casing the shell's path comparisons use.
bool equalsIgnoreCase(StringView a, StringView b);
Char toUpper(Char c);
String toLower(StringView text);

// Logical ("natural") order as Explorer sorts file names: case-insensitive,
// runs of digits compared by value. Negative, zero or positive; zero exactly
// when equalsIgnoreCase(a, b), so it orders strictly.
int compareLogical(StringView a, StringView b);

}  // namespace zav2
