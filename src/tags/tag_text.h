// Text decodings the tag formats use. Every result ends where the stored text
// ends: at its first NUL (byte or UTF-16 unit), as a C string would.
#pragma once

#include <string_view>

#include "platform/text.h"

namespace zav2 {

std::string_view untilNulByte(std::string_view bytes);

// The ANSI code page (Shift_JIS on Japanese systems).
String ansiText(std::string_view bytes);
// UTF-8; malformed sequences become U+FFFD.
String utf8Text(std::string_view bytes);
String utf16Text(std::string_view bytes, bool bigEndian);
// UTF-16 led by an optional byte-order mark: FE FF is big-endian; FF FE or no
// mark is little-endian.
String utf16TextWithBom(std::string_view bytes);

}  // namespace zav2
