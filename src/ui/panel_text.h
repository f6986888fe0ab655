// The text side of the panel: how a companion text file's bytes become the
// panel's lines, and how embedded lyrics are shown.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/text.h"

namespace zav2 {

// The classes of detectTextEncoding; the numbers are part of the rule.
enum class TextEncoding {
    Ansi = 0,     // no mark; ANSI / Shift_JIS or plain ASCII
    Utf8 = 1,     // mark EF BB BF, or judged UTF-8
    Utf16Le = 2,  // mark FF FE
    Utf16Be = 3,  // mark FE FF
    NotText = 4,  // holds a zero byte
};

TextEncoding detectTextEncoding(std::string_view bytes);

// A companion text shows at most this many of its first bytes, so a huge
// file cannot make the program allocate without bound.
inline constexpr size_t kMaxCompanionTextBytes = 16 * 1024 * 1024;

// The longest prefix of `bytes` of at most `limit` bytes that ends on a
// character boundary of the encoding.
size_t characterBoundary(std::string_view bytes, TextEncoding encoding, size_t limit);

// Lines as the panel shows them: CR LF pairs become one line end, the text is
// taken in pieces that end after a line feed or after 1239 units, and every
// piece ends with exactly one CR LF (a last line without a line feed too).
String assemblePanelLines(StringView text);

// The panel text of a companion file's bytes (already cut to the bound):
// decoded by its class, marks dropped, lines assembled. Empty for NotText.
String companionText(std::string_view bytes, TextEncoding encoding);

// Embedded lyrics as the panel shows them: unchanged when they hold a CR LF,
// otherwise every CR becomes CR LF (bare LF is left alone).
String lyricsForPanel(StringView lyrics);

}  // namespace zav2
