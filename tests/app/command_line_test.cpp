#include "app/command_line.h"

#include <gtest/gtest.h>

namespace zav2 {
namespace {

// "-work" and "-work /Stop" name their instance end to end (e2e instances).
TEST(InstanceName, DashedFirstWordNamesTheInstance) {
    EXPECT_EQ(instanceNameFor("-music D:\\a.mp3", ZT("Zav2.exe")), String(ZT("-music")));
    EXPECT_EQ(instanceNameFor("D:\\-a.mp3", ZT("Zav2.exe")), String(ZT("Zav2.exe")));
    EXPECT_EQ(instanceNameFor("", ZT("Zav2.exe")), String(ZT("Zav2.exe")));
    // A quoted path is not an instance name even when it starts with a dash inside.
    EXPECT_EQ(instanceNameFor("\"-x\\a.mp3\"", ZT("Zav2.exe")), String(ZT("Zav2.exe")));
}

#ifndef _WIN32
TEST(InstanceName, BytesAreReadInTheAnsiCodePage) {
    EXPECT_EQ(instanceNameFor("-\x89\xB9\x8A\x79 x", ZT("Zav2.exe")), String(ZT("-\x97F3\x697D")));
}
#endif

TEST(InstanceName, MustBeAFileNameWithinTheProgramFolder) {
    EXPECT_TRUE(instanceNameIsUsable(ZT("-work")));
    EXPECT_TRUE(instanceNameIsUsable(ZT("-\x97F3\x697D")));
    EXPECT_FALSE(instanceNameIsUsable(ZT("-..\\..\\x")));  // would write outside the folder
    EXPECT_FALSE(instanceNameIsUsable(ZT("-C:x")));
    EXPECT_FALSE(instanceNameIsUsable(ZT("-a?")));
    EXPECT_FALSE(instanceNameIsUsable(String(256, 'a')));
    EXPECT_TRUE(instanceNameIsUsable(String(255, 'a')));
}

TEST(ControlCommand, SwitchesAreFoundAnywhereInOrderAndCaseSensitive) {
    // Each switch alone reaches its instance end to end (e2e instances).
    EXPECT_EQ(controlCommandFor("-work /Stop"), 1006);
    EXPECT_EQ(controlCommandFor("/Next /Play"), 1004);  // /Play is tested first
    EXPECT_EQ(controlCommandFor("/next"), 0);
    EXPECT_EQ(controlCommandFor("D:\\music\\a.mp3"), 0);
}

TEST(SplitCommandLine, FollowsThePlatformQuotingRules) {
    using Args = std::vector<String>;
    EXPECT_EQ(splitCommandLine(ZT("\"C:\\Program Files\\Zav2.exe\" -work \"D:\\My Music\\a.mp3\"")),
              (Args{ZT("C:\\Program Files\\Zav2.exe"), ZT("-work"), ZT("D:\\My Music\\a.mp3")}));
    EXPECT_EQ(splitCommandLine(ZT("p a\\\\\\\"b c\\\\\"d e\"")),
              (Args{ZT("p"), ZT("a\\\"b"), ZT("c\\d e")}));
    EXPECT_EQ(splitCommandLine(ZT("p \"a\"\"b\"")), (Args{ZT("p"), ZT("a\"b")}));
    EXPECT_EQ(splitCommandLine(ZT("p D:\\dir\\")), (Args{ZT("p"), ZT("D:\\dir\\")}));
    EXPECT_EQ(splitCommandLine(ZT("\"D:\\a b.mp3\""), false), (Args{ZT("D:\\a b.mp3")}));
    EXPECT_EQ(splitCommandLine(ZT(""), false), Args{});
}

// A missing or absent terminator and bytes after one are sent end to end (e2e
// copydata); the fuzz target reads exactly the declared size under ASan.
TEST(ForwardedBytes, NoDataOrTooMuch) {
    EXPECT_EQ(copyForwardedBytes(nullptr, 10), "");
    // Longer than the buffer: cut at 259 bytes, never more.
    const std::string big(1000, 'x');
    EXPECT_EQ(copyForwardedBytes(big.data(), big.size()).size(), kMaxForwardedBytes);
}

}  // namespace
}  // namespace zav2
