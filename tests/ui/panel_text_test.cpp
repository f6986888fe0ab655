#include "ui/panel_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zav2 {
namespace {

using namespace std::string_literals;

// "日本語の歌詞" in UTF-8.
const std::string kUtf8Words =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\xAD\x8C\xE8\xA9\x9E";

// UTF-8 and Shift_JIS without a mark, UTF-16LE with one and a binary file are
// told apart end to end (e2e panel).
TEST(DetectTextEncoding, ClassifiesByMarkZeroByteAndScores) {
    EXPECT_EQ(TextEncoding::Utf8, detectTextEncoding("a\x7F"));  // not plain ASCII; a tie: UTF-8
    EXPECT_EQ(TextEncoding::NotText, detectTextEncoding("a\0b\0"s));  // UTF-16 without a mark
    EXPECT_EQ(TextEncoding::Utf16Be, detectTextEncoding("\xFE\xFF\0a"s));
}

TEST(AssemblePanelLines, EveryPieceEndsWithOneCrLf) {
    EXPECT_EQ(ZT("a\r\nb\r\n"), assemblePanelLines(ZT("a\nb")));  // no line feed after the last
    EXPECT_EQ(ZT("a\r\nb\r\n"), assemblePanelLines(ZT("a\r\nb\r\n")));
    EXPECT_EQ(ZT("a\rb\r\n"), assemblePanelLines(ZT("a\rb")));  // a bare CR is no line end
    EXPECT_EQ(ZT(""), assemblePanelLines(ZT("")));
    const String x(1239, Char('x'));
    EXPECT_EQ(x + ZT("\r\ny\r\n"), assemblePanelLines(x + ZT("y")));
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
    const std::string utf8 = "a\xE6\x97\xA5\x62";  // "a", a three-byte character, "b"
    const std::string ansi = "1\x93\xFA\x96\x7B";
    const struct {
        std::string bytes;
        TextEncoding encoding;
        size_t limit, expected;
    } cases[] = {
        {utf8, TextEncoding::Utf8, 2, 1},            // inside a three-byte character
        {utf8, TextEncoding::Utf8, 4, 4},            // right after it
        {ansi, TextEncoding::Ansi, 4, 1},            // after the last byte below 0x40
        {ansi.substr(1), TextEncoding::Ansi, 3, 3},  // none: at the limit
        {"\xFF\xFE\x61\0\x3D\xD8\x00\xDE"s, TextEncoding::Utf16Le, 7, 4},  // odd limit, a pair
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
