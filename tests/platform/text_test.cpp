#include "platform/text.h"

#include <gtest/gtest.h>

namespace zav2 {
namespace {

TEST(Utf8, RoundTripsJapaneseAndSupplementaryCharacters) {
    const std::string text = "再生リスト \xF0\x9F\x8E\xB5 abc";  // includes U+1F3B5
    const String wide = utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 12u);  // six BMP units, one surrogate pair, four ASCII
    EXPECT_EQ(wide[0], Char(0x518D));
    EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(Utf8, MalformedTextBecomesReplacementCharacters) {
    EXPECT_EQ(utf8ToUtf16("a\xFF"
                          "b"),
              String(ZT("a\xFFFD"
                        "b")));
    EXPECT_EQ(utf8ToUtf16("\xE3\x81"), String(ZT("\xFFFD")));                  // truncated sequence
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), String(ZT("\xFFFD\xFFFD")));            // overlong slash
    EXPECT_EQ(utf8ToUtf16("\xF0\x8F\xBF\xBF"), String(4, Char(0xFFFD)));       // overlong U+FFFF
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), String(ZT("\xFFFD\xFFFD\xFFFD")));  // surrogate
    // ... and a lone surrogate is written as one.
    EXPECT_EQ(utf16ToUtf8(String(1, Char(0xD800))), "\xEF\xBF\xBD");
}

TEST(Utf16Bytes, LittleAndBigEndianAndOddTail) {
    EXPECT_EQ(utf16leToString(std::string("A\0\x8D\x51", 4)), String(ZT("A\x518D")));
    EXPECT_EQ(utf16beToString(std::string("\0A\x51\x8Dx", 5)), String(ZT("A\x518D")));
}

#ifndef _WIN32
TEST(Ansi, ShiftJisIsTheDefaultAndOtherPagesCanBeChosen) {
    EXPECT_EQ(ansiCodePage(), 932);
    EXPECT_EQ(ansiToUtf16("\x8D\xC4\x90\xB6"), String(ZT("\x518D\x751F")));  // 再生
    EXPECT_EQ(utf16ToAnsi(ZT("\x518D\x751F")), "\x8D\xC4\x90\xB6");
    setAnsiCodePage(65001);
    EXPECT_EQ(ansiToUtf16("\xC3\xA9"), String(ZT("\xE9")));
    setAnsiCodePage(932);
}
#endif

TEST(Case, IgnoresAsciiAndLatinCase) {
    EXPECT_TRUE(equalsIgnoreCase(ZT("\xC9t\xE9z"), ZT("\xE9T\xC9Z")));
    EXPECT_EQ(toLower(ZT("ABC.Mp3")), String(ZT("abc.mp3")));
}

}  // namespace
}  // namespace zav2
