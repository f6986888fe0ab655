#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"
#include "platform/dpi.h"
#include "platform/path.h"
#include "scratch_folder.h"

namespace zav2 {
namespace {

constexpr int kTemplateWidth = 374;

Settings loadFrom(MemorySettingsStore& store, std::optional<float> master = std::nullopt) {
    Settings s;
    readPlacement(store, kTemplateWidth, 96, s);
    readSettings(store, master, 96, s);
    readCaptureDir(store, s);
    return s;
}

void put(MemorySettingsStore& store, const Char* key, const Char* value) {
    store.writeString(kSystemSection, key, value);
}

// Without a file the mode is ORDER: e2e settings.
TEST(SettingsLoad, ModeAndViewSizeWords) {
    const std::vector<std::tuple<const Char*, const Char*, int, int>> cases = {
        // Mode word, ViewSize word, mode, view size.
        {ZT("random"), ZT("original"), Settings::kRandom, Settings::kOriginal},
        {ZT("Single"), ZT("MULTIPLE"), Settings::kSingle, Settings::kMultiple},
        {ZT("order"), ZT("ZOOM"), Settings::kOrder, Settings::kZoom},
        {ZT("ONE"), ZT("huge"), Settings::kOnePass, Settings::kZoom},
        {ZT("shuffle"), ZT(""), Settings::kOnePass, Settings::kZoom},
    };
    for (const auto& [modeWord, sizeWord, mode, size] : cases) {
        MemorySettingsStore store;
        put(store, ZT("Mode"), modeWord);
        put(store, ZT("ViewSize"), sizeWord);
        const Settings s = loadFrom(store);
        EXPECT_EQ(s.Mode, mode) << utf16ToUtf8(modeWord);
        EXPECT_EQ(s.ViewSize, size) << utf16ToUtf8(sizeWord);
    }
}

TEST(SettingsLoad, SwitchesAreOnOnlyForTheWordOn) {
    const std::vector<std::pair<const Char*, int>> cases = {
        {ZT("On"), 1}, {ZT("ON"), 1}, {ZT("1"), 0}, {ZT("ONE"), 0}, {ZT(""), 0},
    };
    for (const auto& [word, expected] : cases) {
        MemorySettingsStore store;
        put(store, ZT("TopMost"), word);
        put(store, ZT("LeftList"), word);
        const Settings s = loadFrom(store);
        EXPECT_EQ(s.TopMost, expected) << utf16ToUtf8(word);
        // A present key replaces the default even when that default is on.
        EXPECT_EQ(s.LeftList, expected) << utf16ToUtf8(word);
    }
}

TEST(SettingsLoad, VolumeFromTheKeyOrFromTheSystem) {
    MemorySettingsStore store;
    put(store, ZT("Volume"), ZT("37"));
    // Linked to the master volume: the key is ignored, the system decides.
    EXPECT_EQ(loadFrom(store, 0.4567f).Volume, 456);
    // Linked, but the system volume is unknown: the key after all. (Not
    // linked, the key whatever the system says: e2e settings.)
    EXPECT_EQ(loadFrom(store).Volume, 370);
    // A hand-edited value stays inside the program's range.
    put(store, ZT("Volume"), ZT("5000"));
    EXPECT_EQ(loadFrom(store).Volume, 1000);
    put(store, ZT("Volume"), ZT("-3"));
    EXPECT_EQ(loadFrom(store).Volume, 0);
}

TEST(SettingsLoad, TextsAreCutToTheirBuffers) {
    MemorySettingsStore store;
    const String longFace(40, 'F');
    put(store, ZT("textFontName"), longFace.c_str());
    store.writeString(kUserSection, ZT("CaptureDir"), String(300, 'd'));
    store.writeString(kUserSection, ZT("IgnoreDir"), ZT("@eaDir"));
    const Settings s = loadFrom(store);
    EXPECT_EQ(s.textFontName, String(31, 'F'));
    EXPECT_EQ(s.CaptureDir.size(), 259u);
    EXPECT_EQ(readIgnoreDir(store), ZT("@eaDir"));
}

// Keys and values of the [SystemSetting] section, "key=value|key=value".
void putAll(MemorySettingsStore& store, std::string_view pairs) {
    while (!pairs.empty()) {
        const std::string_view pair = pairs.substr(0, pairs.find('|'));
        const size_t equals = pair.find('=');
        store.writeString(kSystemSection, utf8ToUtf16(pair.substr(0, equals)),
                          utf8ToUtf16(pair.substr(equals + 1)));
        pairs.remove_prefix(std::min(pair.size() + 1, pairs.size()));
    }
}

// A file with every value away from its default is written back as it was.
TEST(SettingsSave, EveryValueComesBack) {
    MemorySettingsStore store;
    putAll(store,
           "Volume= 64|Mode=SINGLE|TopMost=ON|ListWidth= 0|DefaultListWidth= 210|LeftList=OFF|"
           "SearchSubFolder=ON|MasterVolume=OFF|ShowBitmapList=OFF|ShowBitmapText=OFF|"
           "ShowText=OFF|CenterText=ON|IgnoreError=ON|ViewSize=MULTIPLE|x= -1200|y= 40|"
           "width= 500|height= 420|NoStandby=ON|NoDisplayOff=ON|SingleClickMode=ON|NoExt=ON|"
           "DarkMode=ON|AfterActive=ON|ReplayGain=ALBUM|listFontName=MS Gothic|"
           "textFontName=Meiryo|listFontSize= 8|textFontSize= 14|listFontStyle= 256|"
           "textFontStyle= 768|nowPlaying=D:\\m\\a.mp3|nowDir=D:\\m|nowPosition= 1234");
    store.writeString(kUserSection, ZT("CaptureDir"), ZT("D:\\Caps"));
    const Settings s = loadFrom(store, 0.1f);  // not linked: the system is not asked
    MemorySettingsStore again;
    ASSERT_TRUE(writeSettings(again, s, {s.x, s.y, s.width, s.height}, readResumeKeys(store), 96));
    for (const Char* section : {kSystemSection, kUserSection}) {
        auto written = again.entries(section), read = store.entries(section);
        std::sort(written.begin(), written.end());
        std::sort(read.begin(), read.end());
        EXPECT_EQ(written, read);
    }
}

TEST(SettingsSave, VolumeKeepsTensAndOddValuesGetTheirFallbackWords) {
    MemorySettingsStore store;
    const Settings s{.Mode = 9,
                     .MasterVolume = 0,
                     .ViewSize = 7,
                     .Volume = 537,
                     .ReplayGain = 5,
                     .loaded = true};
    writeSettings(store, s, {}, {}, 96);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Volume"), ZT(""), 260), ZT(" 53"));
    EXPECT_EQ(loadFrom(store).Volume, 530);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("ONE"));
    EXPECT_EQ(store.readString(kSystemSection, ZT("ViewSize"), ZT(""), 260), ZT("ZOOM"));
    EXPECT_EQ(store.readString(kSystemSection, ZT("ReplayGain"), ZT(""), 260), ZT("OFF"));
}

TEST(SettingsSave, SettingsNeverLoadedLeaveTheFileAlone) {
    MemorySettingsStore store;
    put(store, ZT("Mode"), ZT("RANDOM"));
    Settings neverLoaded;
    EXPECT_FALSE(writeSettings(store, neverLoaded, {1, 2, 3, 4}, {}, 96));
    ASSERT_EQ(store.entries(kSystemSection).size(), 1u);
    EXPECT_EQ(store.readString(kSystemSection, ZT("Mode"), ZT(""), 260), ZT("RANDOM"));
    EXPECT_TRUE(store.entries(kUserSection).empty());
}

// A maximised or full-screen window saves the rectangle it had before.
TEST(SettingsSave, PlacementIsTheWindowsOwnOnlyInNormalMode) {
    const WindowPlacement now{200, 150, 450, 400};
    const WindowPlacement before{5, 6, 300, 400};
    EXPECT_EQ(placementToSave(1, now, before).x, 200);
    for (int mode : {2, 3})
        EXPECT_EQ(placementToSave(mode, now, before).x, 5) << mode;
}

// The file holds 96-DPI pixels; a round trip at any DPI writes back the
// numbers it read, so the window neither grows nor shrinks run by run.
TEST(SettingsDpi, FileSizesArePixelsAt96Dpi) {
    const struct {
        int dpi;
        const char* file;
        std::tuple<int, int, int> sizes;  // width, height, list width
    } cases[] = {
        {96, "width= 301|height= 379|ListWidth= 121", {301, 379, 121}},
        {120, "width= 301|height= 379|ListWidth= 121", {376, 474, 151}},
        {144, "width= 300|height= 380|ListWidth= 120", {450, 570, 180}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        MemorySettingsStore store;
        putAll(store, c.file);
        Settings s;
        readPlacement(store, kTemplateWidth, c.dpi, s);
        readSettings(store, std::nullopt, c.dpi, s);
        EXPECT_EQ((std::tuple{s.width, s.height, s.ListWidth}), c.sizes);
        MemorySettingsStore written;
        writeSettings(written, s, {0, 0, s.width, s.height}, {}, c.dpi);
        for (const Char* key : {ZT("width"), ZT("height"), ZT("ListWidth")})
            EXPECT_EQ(written.readString(kSystemSection, key, ZT(""), 260),
                      store.readString(kSystemSection, key, ZT(""), 260));
        // Without a width the template's is taken as it is, unrounded.
        MemorySettingsStore empty;
        readPlacement(empty, 467, c.dpi, s);
        EXPECT_EQ(s.width, 467);
    }
}

// A window saved 380 high with a 13-pixel row shows 21 rows at 96 DPI; at
// 120 DPI its 17-pixel rows must still be 21, and saving writes 380 again.
TEST(ListRows, ASavedHeightKeepsItsRowsAtEveryDpi) {
    const struct {
        int dpi;
        ListRows rows;
        int saved = 380;
    } cases[] = {{96, {101, 13, 13}},
                 {120, {126, 17, 13}},
                 {144, {152, 20, 13}},
                 {120, {126, 0, 13}},         // no rows yet: plain scaling
                 {120, {126, 16, 13}, 386}};  // a row rounded down: the leftover at its cap
    for (const auto& c : cases) {
        const int height = heightForRows(c.saved, c.dpi, c.rows);
        if (c.rows.rowHeight > 0)
            EXPECT_EQ((height - c.rows.chrome) / c.rows.rowHeight, (c.saved - 101) / 13) << c.dpi;
        else
            EXPECT_EQ(height, scaledPixels(c.saved, c.dpi));
        EXPECT_EQ(savedHeightForRows(height, c.dpi, c.rows), c.saved) << c.dpi;
    }
}

TEST(SettingsPath, NamedInstanceUsesItsOwnFileOnlyWhenItExists) {
    const test::ScratchFolder folder("settings");
    const String program = folder.path("Zav2.exe");
    EXPECT_EQ(settingsFilePath(program, ZT("Zav2.exe")), folder.path("Zav2.ini"));
    folder.write("Zav2-work.ini", "[SystemSetting]\n");
    EXPECT_EQ(settingsFilePath(program, ZT("-work")), folder.path("Zav2-work.ini"));
    EXPECT_EQ(settingsFilePath(program, ZT("-play")), folder.path("Zav2.ini"));
    // A folder of that name is not a settings file.
    std::filesystem::create_directories(folder.root() / "Zav2-dir.ini");
    EXPECT_EQ(settingsFilePath(program, ZT("-dir")), folder.path("Zav2.ini"));
}

}  // namespace
}  // namespace zav2
