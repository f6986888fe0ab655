#include "driver/arguments.h"

#include <gtest/gtest.h>

namespace zav2::driver {
namespace {

const std::vector<StringView> kValues = {ZT("name"), ZT("timeout"), ZT("control")};

TEST(DriverArguments, SplitsOptionsFromSubcommandAndPositionals) {
    Arguments parsed =
        parseArguments({ZT("--name"), ZT("-work"), ZT("send"), ZT("WM_COMMAND"), ZT("-1"), ZT("0"),
                        ZT("--control"), ZT("1001"), ZT("--contains")},
                       kValues);
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.command, ZT("send"));
    // A single dash is a value ("-work", "-1"), never an option.
    EXPECT_EQ(parsed.option(ZT("name")), String(ZT("-work")));
    EXPECT_EQ(parsed.positional, (std::vector<String>{ZT("WM_COMMAND"), ZT("-1"), ZT("0")}));
    EXPECT_EQ(parsed.option(ZT("control")), String(ZT("1001")));
    EXPECT_TRUE(parsed.flag(ZT("contains")));
    EXPECT_FALSE(parsed.flag(ZT("name")));
    EXPECT_FALSE(parsed.option(ZT("timeout")).has_value());
}

TEST(DriverArguments, ReportsMissingValuesAndSubcommand) {
    EXPECT_FALSE(parseArguments({ZT("caption"), ZT("--timeout")}, kValues).error.empty());
    EXPECT_FALSE(parseArguments({ZT("--name"), ZT("x")}, kValues).error.empty());
    EXPECT_FALSE(parseArguments({}, kValues).error.empty());
}

TEST(DriverArguments, DoubleDashEndsOptions) {
    Arguments parsed = parseArguments({ZT("find-title"), ZT("--"), ZT("--timeout")}, kValues);
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.positional, std::vector<String>{ZT("--timeout")});
}

TEST(DriverArguments, IntegersInDecimalAndHex) {
    EXPECT_EQ(parseInteger(ZT("1004")), 1004);
    EXPECT_EQ(parseInteger(ZT("-1")), -1);
    EXPECT_EQ(parseInteger(ZT("0x8002")), 0x8002);
    EXPECT_EQ(parseInteger(ZT("0XfF")), 255);
    EXPECT_EQ(parseInteger(ZT("9223372036854775807")), 9223372036854775807LL);
    EXPECT_EQ(parseInteger(ZT("-9223372036854775808")), (-9223372036854775807LL - 1));
    for (const Char* bad : {ZT(""), ZT("-"), ZT("0x"), ZT("12a"), ZT(" 1"), ZT("1.5"),
                            ZT("9223372036854775808"), ZT("0x10000000000000000"), ZT("--1")}) {
        EXPECT_FALSE(parseInteger(bad).has_value()) << utf16ToUtf8(bad);
    }
}

TEST(DriverArguments, VirtualKeysByNameLetterOrNumber) {
    EXPECT_EQ(parseVirtualKey(ZT("VK_ESCAPE")), 0x1B);
    EXPECT_EQ(parseVirtualKey(ZT("escape")), 0x1B);
    EXPECT_EQ(parseVirtualKey(ZT("s")), 'S');
    EXPECT_EQ(parseVirtualKey(ZT("7")), '7');  // the digit key, not code 7
    EXPECT_EQ(parseVirtualKey(ZT("0")), '0');
    EXPECT_EQ(parseVirtualKey(ZT("F1")), 0x70);
    EXPECT_EQ(parseVirtualKey(ZT("vk_f12")), 0x7B);
    EXPECT_EQ(parseVirtualKey(ZT("NUMPAD9")), 0x69);
    EXPECT_EQ(parseVirtualKey(ZT("MEDIA_PLAY_PAUSE")), 0xB3);
    EXPECT_EQ(parseVirtualKey(ZT("VK_VOLUME_DOWN")), 0xAE);
    EXPECT_EQ(parseVirtualKey(ZT("0x2E")), 0x2E);
    EXPECT_EQ(parseVirtualKey(ZT("13")), 0x0D);  // a number, not the letters 1 and 3
    for (const Char* bad : {ZT(""), ZT("0x0"), ZT("255"), ZT("-5"), ZT("F0"), ZT("F25"), ZT("F-1"),
                            ZT("NUMPAD10"), ZT("VK_"), ZT("ESC"), ZT("é")}) {
        EXPECT_FALSE(parseVirtualKey(bad).has_value()) << utf16ToUtf8(bad);
    }
}

TEST(DriverArguments, MessagesByNameAndPrivateOffsets) {
    EXPECT_EQ(parseMessage(ZT("WM_CLOSE")), 0x10u);
    EXPECT_EQ(parseMessage(ZT("wm_command")), 0x111u);
    EXPECT_EQ(parseMessage(ZT("WM_APP+2")), 0x8002u);
    EXPECT_EQ(parseMessage(ZT("WM_APP+0x8")), 0x8008u);
    EXPECT_EQ(parseMessage(ZT("WM_USER+1")), 0x401u);
    EXPECT_EQ(parseMessage(ZT("0x0312")), 0x312u);
    for (const Char* bad : {ZT("WM_CLOSE+1"), ZT("WM_APP+"), ZT("WM_APP+-1"), ZT("WM_APP+0x4000"),
                            ZT("WM_NOPE"), ZT("-1"), ZT("0x10000")}) {
        EXPECT_FALSE(parseMessage(bad).has_value()) << utf16ToUtf8(bad);
    }
}

}  // namespace
}  // namespace zav2::driver
