#include "ui/panel_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zav2 {
namespace {

using namespace std::string_literals;

// "日本語の歌詞" in UTF-8 and in Shift_JIS.
const std::string kUtf8Words =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\xAD\x8C\xE8\xA9\x9E";
const std::string kShiftJisWords = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x89\xCC\x8E\x8C";

// UTF-8 and Shift_JIS without a mark, UTF-16LE with one and a binary file are
// told apart end to end (e2e panel).
TEST(DetectTextEncoding, ClassifiesByMarkZeroByteAndScores) {
    const struct {
        std::string bytes;
        TextEncoding expected;
    } cases[] = {
        {"a\x7F", TextEncoding::Utf8},       // 0x7F is not plain ASCII; the tie goes to UTF-8
        {"a\0b\0"s, TextEncoding::NotText},  // UTF-16 without a mark
        {"\xFE\xFF\0a"s, TextEncoding::Utf16Be},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, detectTextEncoding(c.bytes)) << c.bytes;
}

TEST(AssemblePanelLines, EveryPieceEndsWithOneCrLf) {
    const struct {
        String text;
        String expected;
    } cases[] = {
        {ZT("a\nb"), ZT("a\r\nb\r\n")},  // a last line without a line feed
        {ZT("a\r\nb\r\n"), ZT("a\r\nb\r\n")},
        {ZT("a\rb"), ZT("a\rb\r\n")},  // a bare CR is no line end
        {ZT(""), ZT("")},
        {String(1239, Char('x')) + ZT("y"), String(1239, Char('x')) + ZT("\r\ny\r\n")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, assemblePanelLines(c.text));
}

// UTF-8, Shift_JIS and UTF-16LE companions are read end to end (e2e panel).
TEST(CompanionText, SameCharactersFromEveryEncoding) {
    const String expected = ZT("日本語の歌詞\r\nend\r\n");
    const struct {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {"\xEF\xBB\xBF" + kUtf8Words + "\nend\n", TextEncoding::Utf8},
        // Big-endian text is split into lines like the others.
        {"\xFE\xFF\x65\xE5\x67\x2C\x8A\x9E\x30\x6E\x6B\x4C\x8A\x5E\0\r\0\n\0e\0n\0d"s,
         TextEncoding::Utf16Be},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.encoding, detectTextEncoding(c.bytes));
        EXPECT_EQ(expected, companionText(c.bytes, c.encoding));
    }
    EXPECT_EQ(ZT(""), companionText("MZ\0\0"s, TextEncoding::NotText));
}

TEST(CharacterBoundary, CutNeverSplitsACharacter) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
        size_t limit;
        size_t expected;
    } cases[] = {
        {"a\xE6\x97\xA5"
         "b",
         TextEncoding::Utf8, 2, 1},  // inside a three-byte character
        {"a\xE6\x97\xA5"
         "b",
         TextEncoding::Utf8, 4, 4},                       // right after it
        {"1\x93\xFA\x96\x7B", TextEncoding::Ansi, 4, 1},  // after the last byte below 0x40
        {"\x93\xFA\x96\x7B", TextEncoding::Ansi, 3, 3},   // none: at the limit
        {"\xFF\xFE"
         "a\0\x3D\xD8\x00\xDE"s,
         TextEncoding::Utf16Le, 7, 4},  // odd limit, surrogate pair
        {"\xFE\xFF\0a\xD8\x3D\xDE\x00"s, TextEncoding::Utf16Be, 6, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, characterBoundary(c.bytes, c.encoding, c.limit)) << c.limit;
}

TEST(LyricsForPanel, BareCrBecomesCrLfUnlessCrLfIsUsed) {
    EXPECT_EQ(ZT("a\r\nb"), lyricsForPanel(ZT("a\rb")));
    EXPECT_EQ(ZT("a\r\nb\rc"), lyricsForPanel(ZT("a\r\nb\rc")));
    EXPECT_EQ(ZT("a\nb"), lyricsForPanel(ZT("a\nb")));
}

}  // namespace
}  // namespace zav2
