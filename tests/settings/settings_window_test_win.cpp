// The settings through the real profile functions: a hand-edited file kept in
// place, and which rectangle a save takes. How values are read is checked
// natively (settings_test.cpp), what loading shows end to end (settings_e2e.sh).
#include "settings/settings_apply_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <iterator>

#include "settings/settings.h"
#include "platform/settings_store.h"
#include "scratch_folder.h"

namespace zav2 {
namespace {

TEST(SettingsFile, HandEditedFileIsReadAndKeptInPlace) {
    const test::ScratchFolder folder("settings");
    const String ini = folder.write("Zav2.ini",
                                    "; my settings\r\n"
                                    "[SystemSetting]\r\n"
                                    "nowDir=C:\\old\r\n"
                                    "Mode=random\r\n"
                                    "ListWidth=  200\r\n"
                                    "[UserSetting]\r\n"
                                    "IgnoreDir=@eaDir\r\n");
    ProfileSettingsStore store(ini);
    Settings s;
    readSettings(store, 0.9f, 96, s);
    EXPECT_EQ(s.ListWidth, 200);  // the profile functions drop the blanks
    EXPECT_EQ(readIgnoreDir(store), L"@eaDir");
    EXPECT_EQ(readResumeKeys(store).nowDir, L"C:\\old");

    writeSettings(store, s, {1, 2, 3, 4}, {L"C:\\new", L""}, 96);
    // The comment stays and nowDir is replaced where it was.
    std::ifstream in(folder.root() / "Zav2.ini", std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(
        after.starts_with("; my settings\r\n[SystemSetting]\r\nnowDir=C:\\new\r\n"
                          "Mode=RANDOM\r\n"))
        << after;
    // IgnoreDir is the user's: never written, still there.
    EXPECT_EQ(readIgnoreDir(store), L"@eaDir");
}

// The Win32 side of a save: the window's own rectangle when it is normal,
// the one kept before maximising or full screen otherwise.
TEST(SettingsFile, SaveTakesTheWindowOrTheSavedRectangle) {
    const test::ScratchFolder folder("settings");
    const String ini = folder.path("Zav2.ini");
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 200, 150, 450, 400,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    Settings settings;
    settings.loaded = true;
    const RECT saved{5, 6, 305, 406};
    ASSERT_TRUE(saveSettings(ini, settings, window, 1, saved, {}, {}));
    ProfileSettingsStore store(ini);
    EXPECT_EQ(store.readInt(kSystemSection, L"x", -1), 200);
    EXPECT_EQ(store.readInt(kSystemSection, L"width", -1), 450);
    ASSERT_TRUE(saveSettings(ini, settings, window, 3, saved, {}, {}));
    EXPECT_EQ(store.readInt(kSystemSection, L"x", -1), 5);
    EXPECT_EQ(store.readInt(kSystemSection, L"width", -1), 300);
    EXPECT_EQ(store.readInt(kSystemSection, L"height", -1), 400);
    DestroyWindow(window);
}

}  // namespace
}  // namespace zav2
