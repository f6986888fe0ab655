// Path helpers with the shell's semantics. Both '\\' and '/' separate folders;
// new paths are joined with the platform's own separator.
#pragma once

#include "platform/text.h"

namespace zav2 {

#ifdef _WIN32
inline constexpr Char kPathSeparator = '\\';
#else
inline constexpr Char kPathSeparator = '/';
#endif

// Longest path the program keeps: buffers of 260 units with the terminator.
inline constexpr size_t kMaxPath = 259;

bool isPathSeparator(Char c);
// The last component ("D:\\a\\x.mp3" -> "x.mp3").
StringView fileName(StringView path);
// From the last dot of the last component, dot included; empty when there is
// none or when a space follows the dot ("x.tar.gz" -> ".gz", "a. b" -> "").
StringView extension(StringView path);
// The folder that holds the last component, without a trailing separator
// except at a root ("D:\\a\\x.mp3" -> "D:\\a", "D:\\x" -> "D:\\", "x" -> "").
String folderOf(StringView path);
String removeExtension(StringView path);
// Replaces (or adds) the extension; newExtension includes its dot.
String replaceExtension(StringView path, StringView newExtension);
// Joins a folder and a relative name with exactly one separator; an absolute
// name is returned unchanged.
String combinePath(StringView folder, StringView name);
// Absolute: a drive ("D:\\", "D:/"), a UNC or rooted path, or a POSIX root.
bool isAbsolutePath(StringView path);

}  // namespace zav2
